// A cover-art server's reply: only a real JPEG or PNG of bounded size is kept.
#include "lookup/cover_art.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication(); // the JPEG reader is a plugin
    const QByteArray bytes = fuzz::bytes(data, size);
    const std::optional<CoverArt> cover = checkedCover(bytes);
    if (cover && (cover->bytes != bytes
                  || (cover->mimeType != QLatin1String("image/jpeg") && cover->mimeType != QLatin1String("image/png"))))
        fuzz::fail("a kept cover that is not the JPEG or PNG it was given");
    return 0;
}
