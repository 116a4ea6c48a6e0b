// A freedb (xmcd) entry as a server or a local database hands it over.
#include "lookup/xmcd_entry.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    parseXmcdEntry(fuzz::bytes(data, size), QStringLiteral("misc"));
    return 0;
}
