#pragma once

#include "codec/audio_codec.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

struct SwrContext;

// Sample format, rate and channel conversion through libswresample. Channel changes keep the
// level: mono is copied to both sides, stereo to mono averages, more channels go to fewer by
// the standard downmix of their default layouts, scaled so that it cannot clip. A rate change
// goes through the SoX resampler at its very high quality (as sox's rate -v): everything above
// the lower rate's Nyquist frequency is attenuated far below -90 dB instead of folding back
// into the audio. Every encoder gets its input at the output rate from here.
class PcmConverter {
public:
    PcmConverter() = default;
    ~PcmConverter();
    PcmConverter(const PcmConverter &) = delete;
    PcmConverter &operator=(const PcmConverter &) = delete;

    bool setup(PcmFormat in, AVSampleFormat inFormat, PcmFormat out, AVSampleFormat outFormat);
    // Most frames that `inFrames` more input frames can produce, buffered ones included.
    int outputBound(int inFrames) const;
    // Converts `inFrames` frames (in == nullptr drains the buffered rest). Returns the number
    // of frames written to `out`, or -1 on failure.
    int convert(uint8_t **out, int outFrames, const uint8_t *const *in, int inFrames);

private:
    SwrContext *m_swr = nullptr;
};
