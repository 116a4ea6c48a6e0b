#include "audio/audio_transform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The most the normalizer lifts a quiet signal (+20 dB), so that silence and hiss at the start
// of a track are not raised to full level.
constexpr float kMaxGain = 10.0f;
// How fast the gain may fall ahead of a louder passage: halving takes 10 ms.
constexpr float kHalvingSeconds = 0.010f;

} // namespace

// The gain only ever falls: it follows the loudest frame so far, so a constant signal settles at
// the ratio and nothing pumps. Inside a block the gain starts falling before a louder frame
// arrives, so no frame leaves above the target level; it is continuous from block to block
// except where the very first frame of a block is louder than everything before it.
struct AudioTransform::Private {
    bool started = false;
    float gain = kMaxGain;
    std::vector<float> limit; // per frame, the highest gain that keeps it at the target

    void computeLimits(const SampleBlock &block, int channels, float target);
    void smoothLimits(int sampleRate);
    void apply(SampleBlock &block, int channels);
};

void AudioTransform::Private::computeLimits(const SampleBlock &block, int channels, float target)
{
    const int frames = block.size() / channels;
    limit.assign(size_t(frames), kMaxGain);
    for (int f = 0; f < frames; ++f) {
        int peak = 0;
        for (int c = 0; c < channels; ++c)
            peak = std::max(peak, std::abs(int(block.samples[size_t(f * channels + c)])));
        if (peak > 0)
            limit[size_t(f)] = std::min(kMaxGain, target / float(peak));
    }
}

// Going backwards, a limit may rise only as fast as the gain may fall going forwards.
void AudioTransform::Private::smoothLimits(int sampleRate)
{
    const float step = std::exp2(1.0f / (kHalvingSeconds * float(std::max(sampleRate, 1000))));
    for (size_t f = limit.size(); f-- > 1;)
        limit[f - 1] = std::min(limit[f - 1], limit[f] * step);
}

void AudioTransform::Private::apply(SampleBlock &block, int channels)
{
    if (!started && !limit.empty()) {
        gain = *std::min_element(limit.begin(), limit.end());
        started = true;
    }
    for (size_t f = 0; f < limit.size(); ++f) {
        gain = std::min(gain, limit[f]);
        for (int c = 0; c < channels; ++c) {
            int16_t &sample = block.samples[f * size_t(channels) + size_t(c)];
            const float value = std::round(float(sample) * gain);
            sample = int16_t(std::clamp(value, -32767.0f, 32767.0f));
        }
    }
}

AudioTransform::AudioTransform() : d(std::make_unique<Private>()) {}

AudioTransform::~AudioTransform() = default;

void AudioTransform::NormalizeBlock(SampleBlock &block, float ratio, int)
{
    const int channels = std::max(block.channels, 1);
    if (block.size() < channels || !std::isfinite(ratio))
        return;
    const float target = 32767.0f * std::clamp(ratio, 0.0f, 100.0f) / 100.0f;
    d->computeLimits(block, channels, target);
    d->smoothLimits(block.sampleRate);
    d->apply(block, channels);
}

void AudioTransform::Reset()
{
    d->started = false;
    d->gain = kMaxGain;
}
