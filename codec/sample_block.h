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
