#include "codec/pcm_converter.h"

#include "codec/ffmpeg_library.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// libswresample's matrices have a row of this many entries per output channel, and
// swr_build_matrix2 scales a full square of them.
constexpr int kMatrixStride = 64; // SWR_CH_MAX inside libswresample

// The SoX resampler's precision in bits; 28 is its "very high" quality, what sox's rate -v
// uses: what it leaves of a tone above the new Nyquist frequency is far below what 16 bits can
// hold, and converting costs a fraction of what encoding does.
constexpr double kSoxrPrecision = 28.0;

// The mix of `in` channels into `out`, row by output channel. Mono is copied to the first two
// outputs at full level (libswresample would put it 3 dB down on each side). Other changes
// take the ITU downmix of the default layouts (centre and surrounds at -3 dB, no LFE) scaled
// so that no output row adds up above 1: stereo to mono is the average of the two, and
// nothing clips. Empty when the counts are equal: the channels pass through unchanged.
std::vector<double> mixMatrix(const ResampleLibrary &av, int in, int out)
{
    std::vector<double> matrix;
    if (in == out)
        return matrix;
    matrix.assign(size_t(kMatrixStride) * kMatrixStride, 0.0);
    if (in == 1) {
        for (int o = 0; o < std::min(out, 2); ++o)
            matrix[size_t(o) * kMatrixStride] = 1.0;
        return matrix;
    }
    AVChannelLayout inLayout, outLayout;
    av.av_channel_layout_default(&inLayout, in);
    av.av_channel_layout_default(&outLayout, out);
    const int result = av.swr_build_matrix2(&inLayout, &outLayout, M_SQRT1_2, M_SQRT1_2, 0.0, 1.0,
                                            1.0, matrix.data(), kMatrixStride,
                                            AV_MATRIX_ENCODING_NONE, nullptr);
    av.av_channel_layout_uninit(&inLayout);
    av.av_channel_layout_uninit(&outLayout);
    if (result < 0)
        matrix.clear();
    return matrix;
}

} // namespace

PcmConverter::~PcmConverter()
{
    if (m_swr)
        resampleLibrary()->swr_free(&m_swr);
}

bool PcmConverter::setup(PcmFormat in, AVSampleFormat inFormat, PcmFormat out,
                         AVSampleFormat outFormat)
{
    const ResampleLibrary *av = resampleLibrary();
    if (!av)
        return false;
    av->swr_free(&m_swr);
    AVChannelLayout inLayout, outLayout;
    av->av_channel_layout_default(&inLayout, in.channels);
    av->av_channel_layout_default(&outLayout, out.channels);
    const int result = av->swr_alloc_set_opts2(&m_swr, &outLayout, outFormat, out.rate, &inLayout,
                                               inFormat, in.rate, 0, nullptr);
    av->av_channel_layout_uninit(&inLayout);
    av->av_channel_layout_uninit(&outLayout);
    if (result >= 0 && in.rate != out.rate) {
        av->av_opt_set_int(m_swr, "resampler", SWR_ENGINE_SOXR, 0);
        av->av_opt_set_double(m_swr, "precision", kSoxrPrecision, 0);
    }
    const std::vector<double> matrix = mixMatrix(*av, in.channels, out.channels);
    const bool mixed = in.channels == out.channels
        || (!matrix.empty() && result >= 0
            && av->swr_set_matrix(m_swr, matrix.data(), kMatrixStride) >= 0);
    if (result < 0 || !mixed || av->swr_init(m_swr) < 0) {
        av->swr_free(&m_swr);
        return false;
    }
    return true;
}

int PcmConverter::outputBound(int inFrames) const
{
    return m_swr ? resampleLibrary()->swr_get_out_samples(m_swr, inFrames) : 0;
}

int PcmConverter::convert(uint8_t **out, int outFrames, const uint8_t *const *in, int inFrames)
{
    if (!m_swr)
        return -1;
    const int result = resampleLibrary()->swr_convert(m_swr, out, outFrames,
                                                      const_cast<const uint8_t **>(in), inFrames);
    return result < 0 ? -1 : result;
}
