// One audio reader through AudioFile, as the conversions use it: open, then read blocks to the
// end. Built once per file type; HARVELO_FUZZ_EXT names it ("wav", "mp3", "ogg", "wma", "flac", "opus").
#include "codec/audio_codec.h"
#include "codec/audio_file.h"
#include "codec/conversion_block.h"
#include "fuzz/fuzz_support.h"

namespace {

// Enough for a few minutes of audio, so that one input cannot run for long.
constexpr int64_t kMaxFrames = 8 * 1024 * 1024;

void checkBlock(const AudioFile &file, const SampleBlock &block, int request)
{
    if (block.isEmpty())
        return;
    if (block.channels != file.Channels() || block.sampleRate != file.SampleRate())
        fuzz::fail("a block in another format than the file announced");
    if (block.size() % block.channels != 0 || block.size() > request)
        fuzz::fail("a block of a broken frame or beyond the request");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    const QString path =
        fuzz::writeInput(QStringLiteral("input.") + QStringLiteral(HARVELO_FUZZ_EXT), data, size);
    AudioFile file;
    file.setWmaFormatEnabled(true);
    file.OpenFile(path, 0, 1);
    if (file.ErrorCode() != 0)
        return 0;
    if (!isPlausibleFormat(file.SampleRate(), file.Channels()))
        fuzz::fail("a file opened with an absurd format");
    const int request = conversionBlockSamples(file);
    for (int64_t frames = 0; frames < kMaxFrames;) {
        const SampleBlock block = file.ReadBlock(request);
        checkBlock(file, block, request);
        if (block.isEmpty())
            break;
        frames += block.size() / block.channels;
    }
    file.CloseFile();
    return 0;
}
