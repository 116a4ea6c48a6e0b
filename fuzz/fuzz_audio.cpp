// One audio reader through AudioFile, as the conversions use it: open, then read blocks to the
// end (a source deeper than 16 bits in 16-bit and wide blocks by turns). Built once per file
// type; HARVELO_FUZZ_EXT names it ("wav", "mp3", "ogg", "wma", "flac",
// "opus").
#include "codec/audio_codec.h"
#include "codec/audio_file.h"
#include "codec/conversion_block.h"
#include "fuzz/fuzz_support.h"

#include <type_traits>

namespace {

// Enough for a few minutes of audio, so that one input cannot run for long.
constexpr int64_t kMaxFrames = 8 * 1024 * 1024;

template <class Block>
void checkBlock(const AudioFile &file, const Block &block, int request)
{
    if (block.isEmpty())
        return;
    if (block.channels != file.Channels() || block.sampleRate != file.SampleRate())
        fuzz::fail("a block in another format than the file announced");
    if (block.size() % block.channels != 0 || block.size() > request)
        fuzz::fail("a block of a broken frame or beyond the request");
}

// Reads one block, 16-bit or wide; its frames, 0 at the end.
template <class Block>
int64_t readOne(AudioFile &file, int request)
{
    Block block;
    if constexpr (std::is_same_v<Block, SampleBlock>)
        block = file.ReadBlock(request);
    else
        block = file.readWideBlock(request);
    checkBlock(file, block, request);
    return block.isEmpty() ? 0 : block.size() / block.channels;
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
    const bool deep = file.sampleDepth().isDeep();
    for (int64_t frames = 0, turn = 0; frames < kMaxFrames; ++turn) {
        const int64_t got = deep && turn % 2 == 1 ? readOne<WideSampleBlock>(file, request)
                                                  : readOne<SampleBlock>(file, request);
        if (got == 0)
            break;
        frames += got;
    }
    file.CloseFile();
    return 0;
}
