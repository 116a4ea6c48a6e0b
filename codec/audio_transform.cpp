#include "codec/audio_transform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void AudioTransform::MeasureBlock(const SampleBlock &block)
{
    for (const int16_t sample : block.samples)
        m_peak = std::max(m_peak, std::abs(int(sample)));
    m_measured = true;
}

void AudioTransform::NormalizeBlock(SampleBlock &block, float ratio, int)
{
    if (block.isEmpty() || !std::isfinite(ratio))
        return;
    if (!m_measured)
        MeasureBlock(block);
    if (m_peak == 0)
        return;
    const double target = 32767.0 * std::clamp(double(ratio), 0.0, 100.0) / 100.0;
    const double gain = target / double(m_peak);
    // |sample| <= peak, so |sample * gain| <= target: the clamp only guards rounding.
    for (int16_t &sample : block.samples)
        sample = int16_t(std::clamp(std::lround(double(sample) * gain), -32767L, 32767L));
}

void AudioTransform::Reset()
{
    m_peak = 0;
    m_measured = false;
}
