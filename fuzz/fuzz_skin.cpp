// A skin file: 45 BMP pictures and the trailer that sizes them.
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
    return 0;
}
