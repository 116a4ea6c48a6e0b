// The bodies of a CDDB server's "cddb query" and "cddb read" replies, then the entry that a read
// reply carries, as a lookup takes them one after the other.
#include "lookup/cddb_reply.h"
#include "lookup/xmcd_entry.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply = fuzz::bytes(data, size);
    if (const std::optional<CddbMatch> match = parseCddbQueryReply(reply)) {
        if (match->category.isEmpty() || match->discId.isEmpty())
            fuzz::fail("a query match without category or disc ID");
    }
    if (const std::optional<QByteArray> entry = parseCddbReadReply(reply))
        parseXmcdEntry(*entry, QStringLiteral("misc"));
    return 0;
}
