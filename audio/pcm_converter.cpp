#include "audio/pcm_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

PcmConverter::~PcmConverter()
{
    swr_free(&m_swr);
}

bool PcmConverter::setup(PcmFormat in, AVSampleFormat inFormat, PcmFormat out,
                         AVSampleFormat outFormat)
{
    swr_free(&m_swr);
    AVChannelLayout inLayout, outLayout;
    av_channel_layout_default(&inLayout, in.channels);
    av_channel_layout_default(&outLayout, out.channels);
    const int result = swr_alloc_set_opts2(&m_swr, &outLayout, outFormat, out.rate, &inLayout,
                                           inFormat, in.rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (result < 0 || swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return false;
    }
    return true;
}

int PcmConverter::outputBound(int inFrames) const
{
    return m_swr ? swr_get_out_samples(m_swr, inFrames) : 0;
}

int PcmConverter::convert(uint8_t **out, int outFrames, const uint8_t *const *in, int inFrames)
{
    if (!m_swr)
        return -1;
    const int result = swr_convert(m_swr, out, outFrames, const_cast<const uint8_t **>(in), inFrames);
    return result < 0 ? -1 : result;
}
