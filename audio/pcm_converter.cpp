#include "audio/pcm_converter.h"

#include "audio/ffmpeg_library.h"

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
    if (result < 0 || av->swr_init(m_swr) < 0) {
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
