// A skin file: 45 BMP pictures, perhaps 45 more at twice the size, and the trailer that sizes
// them.
#include "fuzz/fuzz_support.h"
#include "skin/base/skin_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    const SkinFile::Result result = SkinFile::fromData(fuzz::bytes(data, size));
    for (const QImage &image : result.images) {
        if (result.ok() && (image.isNull() || image.width() > SkinFile::MaxPictureSide
                            || image.height() > SkinFile::MaxPictureSide))
            fuzz::fail("an accepted skin with a missing or oversized picture");
        if (!result.ok() && !image.isNull())
            fuzz::fail("a refused skin handed out pictures");
    }
    if (result.doubleImages && !result.ok())
        fuzz::fail("a refused skin handed out large pictures");
    for (int slot = 0; result.doubleImages && slot < SkinFile::SlotCount; ++slot) {
        if (result.doubleImages->at(slot).size() != result.images[slot].size() * 2)
            fuzz::fail("a large picture that is not twice its standard picture");
    }
    return 0;
}
