#pragma once

#include <cstdint>
#include <vector>

// Interleaved 16-bit PCM samples with their rate and channel count. An empty block marks the
// end of a track or file. Blocks are moved between components, not copied.
struct SampleBlock {
    std::vector<int16_t> samples;
    int sampleRate = 44100;
    int channels = 2;

    SampleBlock() = default;
    SampleBlock(std::vector<int16_t> s, int rate, int ch)
        : samples(std::move(s)), sampleRate(rate), channels(ch) {}
    SampleBlock(SampleBlock &&) noexcept = default;
    SampleBlock &operator=(SampleBlock &&) noexcept = default;
    SampleBlock(const SampleBlock &) = delete;
    SampleBlock &operator=(const SampleBlock &) = delete;

    bool isEmpty() const { return samples.empty(); }
    // Element count (a block of n samples holds n / channels frames).
    int size() const { return int(samples.size()); }
    int frames() const { return channels > 0 ? int(samples.size()) / channels : 0; }
    SampleBlock copy() const { return SampleBlock(samples, sampleRate, channels); }
};

// How deep the samples of a source are: 16 for 16 bits and fewer (and for what the lossy
// decoders give), 24 or 32 for deeper integer PCM, 32 or 64 with `floating` for float PCM.
struct SampleDepth {
    int bits = 16;
    bool floating = false;
    bool isDeep() const { return bits > 16; }
    bool operator==(const SampleDepth &) const = default;
};

// Samples deeper than 16 bits on their way from a deep reader to a writer: only the file
// conversions use them, so that a lossless target keeps the source's depth and a 16-bit one
// is dithered once, after the normalizer. Left-justified: full scale is 2^31 at every depth,
// and the bits below `depth.bits` are zero. Interleaved; empty at the end, like SampleBlock.
struct WideSampleBlock {
    std::vector<int32_t> samples;
    int sampleRate = 44100;
    int channels = 2;
    SampleDepth depth{24, false};

    bool isEmpty() const { return samples.empty(); }
    int size() const { return int(samples.size()); }
};
