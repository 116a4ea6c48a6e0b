#pragma once

#include <cstddef>
#include <cstdint>

// Makes samples deeper than 16 bits 16-bit: rounds with TPDF dither (two uniform random
// values over one 16-bit step, subtracted), so that the error is a steady hiss of half a step
// (about -96 dBFS) with no trace of the signal in it. Truncating instead gives a mean error of half a
// step and turns a quiet tone into a square wave; rounding alone erases a tone below half a
// step. Samples already on the 16-bit grid pass unchanged: a 16-bit recording stored in a
// deeper file comes back exact, and digital silence stays silent. The noise is the same for
// every run. One object per stream; not thread-safe.
class TpdfDither {
public:
    // `in` is left-justified: full scale is 2^31.
    void toInt16(const int32_t *in, int16_t *out, size_t count);

private:
    uint64_t m_state = 0x853c49e6748fea9bull;
};

// A float sample (full scale 1.0) left-justified in 32 bits; beyond full scale it clips, and
// what is not a number becomes 0.
int32_t floatToWide(double value);
