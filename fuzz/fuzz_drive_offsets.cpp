// AccurateRip's drive-offset list (DriveOffsets.bin), as the server or the cache hands it over.
#include "lookup/drive_offsets.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytes(data, size);
    const DriveOffsetList list = DriveOffsetList::parse(bytes);
    if (list.entries().size() > size_t(bytes.size() / DriveOffsetList::kRecordBytes))
        fuzz::fail("more drives than whole records");
    for (const DriveOffsetEntry &entry : list.entries()) {
        if (entry.offset < -32768 || entry.offset > 32767 || entry.name.size() > 32)
            fuzz::fail("an offset or a name outside its record");
        const qsizetype dash = entry.name.indexOf(QStringLiteral(" - "));
        if (dash >= 0 && !list.find(entry.name.left(dash), entry.name.mid(dash + 3)))
            fuzz::fail("a listed drive is not found by its own name");
    }
    return 0;
}
