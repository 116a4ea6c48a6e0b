// A simulated drive's description, as a user or a test writes it.
#include "disc/drive_description.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const auto drive = parseDriveDescription(fuzz::bytes(data, size), QStringLiteral("/tmp"), &error);
    if (!drive && error.isEmpty())
        fuzz::fail("a refused description says why");
    if (drive) {
        for (const auto *ranges : {&drive->faults.unreadable, &drive->faults.flaky, &drive->faults.jitter}) {
            for (const SectorRange &range : *ranges) {
                if (range.last < range.first)
                    fuzz::fail("a range ends before it starts");
            }
        }
    }
    return 0;
}
