#include "codec/audio_transform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void AudioTransform::MeasureBlock(const SampleBlock &block)
{
    int peak = 0;
    for (const int16_t sample : block.samples)
        peak = std::max(peak, std::abs(int(sample)));
    m_peak = std::max(m_peak, int64_t(peak) << 16);
    m_measured = true;
}

void AudioTransform::MeasureBlock(const WideSampleBlock &block)
{
    for (const int32_t sample : block.samples)
        m_peak = std::max(m_peak, std::abs(int64_t(sample)));
    m_measured = true;
}

template <class Block>
std::optional<double> AudioTransform::gainFor(const Block &block, float ratio)
{
    if (block.isEmpty() || !std::isfinite(ratio))
        return std::nullopt;
    if (!m_measured)
        MeasureBlock(block);
    if (m_peak == 0)
        return std::nullopt;
    const double target = 32767.0 * std::clamp(double(ratio), 0.0, 100.0) / 100.0;
    return target / (double(m_peak) / 65536.0);
}

void AudioTransform::NormalizeBlock(SampleBlock &block, float ratio, int)
{
    const std::optional<double> gain = gainFor(block, ratio);
    if (!gain)
        return;
    // |sample| <= peak, so |sample * gain| <= target: the clamp only guards rounding.
    for (int16_t &sample : block.samples)
        sample = int16_t(std::clamp(std::lround(double(sample) * *gain), -32767L, 32767L));
}

void AudioTransform::NormalizeBlock(WideSampleBlock &block, float ratio, int)
{
    const std::optional<double> gain = gainFor(block, ratio);
    if (!gain)
        return;
    // Rounded to the block's own depth, so that its lower bits stay zero.
    const int shift = block.depth.floating ? 0 : std::clamp(32 - block.depth.bits, 0, 16);
    const double step = double(int64_t(1) << shift);
    const double limit = std::floor(2147483647.0 / step);
    for (int32_t &sample : block.samples)
        sample = int32_t(std::clamp(std::nearbyint(double(sample) * *gain / step), -limit, limit)
                         * step);
}

void AudioTransform::Reset()
{
    m_peak = 0;
    m_measured = false;
}
