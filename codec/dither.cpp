#include "codec/dither.h"

#include <algorithm>
#include <cmath>

void TpdfDither::toInt16(const int32_t *in, int16_t *out, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const int32_t sample = in[i];
        if ((sample & 0xffff) == 0) {
            out[i] = int16_t(sample >> 16);
            continue;
        }
        // The high half of a 64-bit LCG: two 16-bit uniforms, whose difference spreads over
        // (-1, 1) steps with a triangular density.
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        const uint32_t random = uint32_t(m_state >> 32);
        const int64_t noise = int64_t(random & 0xffff) - int64_t(random >> 16);
        const int64_t rounded = (int64_t(sample) + noise + 0x8000) >> 16;
        out[i] = int16_t(std::clamp<int64_t>(rounded, -32768, 32767));
    }
}

int32_t floatToWide(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double scaled = std::nearbyint(value * 2147483648.0);
    return int32_t(std::clamp(scaled, -2147483648.0, 2147483647.0));
}
