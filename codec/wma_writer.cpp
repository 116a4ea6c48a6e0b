#include "codec/audio_codec.h"
#include "codec/ffmpeg_library.h"
#include "codec/ffmpeg_util.h"
#include "codec/pcm_converter.h"

#include <algorithm>
#include <vector>

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
}

namespace {

// wmav2 in ASF. The encoder takes planar float in fixed-size frames; the first frame written
// is silence because decoders drop the first frame, and the last one is padded with silence.
// Each frame's transform overlaps the next one, and the encoder does not flush that overlap at
// the end by itself: without one more frame the last one fades out when decoded. That frame
// of silence is written with the shortest duration the container has (a millisecond; none
// would be filled in as a whole frame), so the file's length stays what the audio needs, and
// our reader stops there (the decoders of other programs give it as trailing silence).
class WmaWriter : public AudioWriter {
public:
    WmaWriter(const WmaProfile &profile, const FfmpegLibrary &av) : m_profile(profile), m_av(av) {}
    ~WmaWriter() override
    {
        m_av.av_frame_free(&m_frame);
        m_av.av_packet_free(&m_packet);
        if (m_fifo)
            m_av.av_audio_fifo_free(m_fifo);
        m_av.avcodec_free_context(&m_codec);
        if (m_format) {
            m_av.avio_closep(&m_format->pb);
            m_av.avformat_free_context(m_format);
        }
    }

    AudioError create(const QString &path) override
    {
        if (!openEncoder() || !allocateBuffers())
            return AudioError::UnsupportedFormat;
        if (m_av.avio_open(&m_format->pb, ffmpegFileUrl(path).constData(), AVIO_FLAG_WRITE) < 0)
            return AudioError::CannotCreate;
        if (m_av.avformat_write_header(m_format, nullptr) < 0)
            return AudioError::WriteFailed;
        m_av.av_samples_set_silence(m_frame->extended_data, 0, m_frame->nb_samples,
                                    m_codec->ch_layout.nb_channels, m_codec->sample_fmt);
        return encode(m_frame);
    }

    AudioError begin(PcmFormat input) override
    {
        const bool ok = m_converter.setup(input, AV_SAMPLE_FMT_S16,
                                          {m_profile.rate, m_profile.channels}, AV_SAMPLE_FMT_FLTP);
        return ok ? AudioError::None : AudioError::UnsupportedFormat;
    }

    AudioError write(const int16_t *samples, int frames) override
    {
        const uint8_t *in = reinterpret_cast<const uint8_t *>(samples);
        const AudioError result = convert(&in, frames);
        return result == AudioError::None ? encodeFullFrames() : result;
    }

    AudioError finish() override
    {
        AudioError result = convert(nullptr, 0);
        if (result == AudioError::None)
            result = encodeFullFrames();
        if (result == AudioError::None && m_av.av_audio_fifo_size(m_fifo) > 0)
            result = encodePadded();
        if (result == AudioError::None)
            result = encodePadded(Duration::Shortest);
        if (result == AudioError::None)
            result = encode(nullptr);
        if (result == AudioError::None && m_av.av_write_trailer(m_format) < 0)
            result = AudioError::WriteFailed;
        if (m_av.avio_closep(&m_format->pb) < 0)
            result = AudioError::WriteFailed;
        return result;
    }

private:
    bool openEncoder()
    {
        const AVCodec *codec = m_av.avcodec_find_encoder(AV_CODEC_ID_WMAV2);
        if (!codec || m_av.avformat_alloc_output_context2(&m_format, nullptr, "asf", nullptr) < 0)
            return false;
        m_codec = m_av.avcodec_alloc_context3(codec);
        if (!m_codec)
            return false;
        m_codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
        m_codec->sample_rate = m_profile.rate;
        m_av.av_channel_layout_default(&m_codec->ch_layout, m_profile.channels);
        m_codec->bit_rate = int64_t(m_profile.encodeKbps) * 1000;
        m_codec->time_base = AVRational{1, m_profile.rate};
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (m_av.avcodec_open2(m_codec, codec, nullptr) < 0)
            return false;
        m_stream = m_av.avformat_new_stream(m_format, nullptr);
        if (!m_stream || m_av.avcodec_parameters_from_context(m_stream->codecpar, m_codec) < 0)
            return false;
        m_stream->time_base = m_codec->time_base;
        return true;
    }

    bool allocateBuffers()
    {
        m_frame = m_av.av_frame_alloc();
        m_packet = m_av.av_packet_alloc();
        m_fifo = m_av.av_audio_fifo_alloc(m_codec->sample_fmt, m_codec->ch_layout.nb_channels,
                                          m_codec->frame_size);
        if (!m_frame || !m_packet || !m_fifo)
            return false;
        m_frame->nb_samples = m_codec->frame_size;
        m_frame->format = m_codec->sample_fmt;
        m_frame->sample_rate = m_codec->sample_rate;
        return m_av.av_channel_layout_copy(&m_frame->ch_layout, &m_codec->ch_layout) == 0
            && m_av.av_frame_get_buffer(m_frame, 0) == 0;
    }

    // Converts blocks into the FIFO (in == nullptr drains the resampler).
    AudioError convert(const uint8_t *const *in, int frames)
    {
        // Never 0: the input goes in even when the resampler gives nothing for it yet.
        const int bound = std::max(m_converter.outputBound(frames), 1);
        const int channels = m_profile.channels;
        m_planes.resize(size_t(channels));
        std::vector<uint8_t *> pointers(static_cast<size_t>(channels));
        for (int c = 0; c < channels; ++c) {
            m_planes[c].resize(size_t(bound));
            pointers[c] = reinterpret_cast<uint8_t *>(m_planes[c].data());
        }
        const int got = m_converter.convert(pointers.data(), bound, in, frames);
        if (got < 0)
            return AudioError::UnsupportedFormat;
        void **data = reinterpret_cast<void **>(pointers.data());
        if (got > 0 && m_av.av_audio_fifo_write(m_fifo, data, got) != got)
            return AudioError::WriteFailed;
        return AudioError::None;
    }

    AudioError encodeFullFrames()
    {
        while (m_av.av_audio_fifo_size(m_fifo) >= m_codec->frame_size) {
            if (m_av.av_frame_make_writable(m_frame) < 0)
                return AudioError::WriteFailed;
            m_av.av_audio_fifo_read(m_fifo, reinterpret_cast<void **>(m_frame->extended_data),
                                    m_codec->frame_size);
            const AudioError result = encode(m_frame);
            if (result != AudioError::None)
                return result;
        }
        return AudioError::None;
    }

    // Whether the container counts a frame in the file's length.
    enum class Duration { Counted, Shortest };

    // Encodes what the FIFO holds (less than a frame, or nothing) padded with silence.
    AudioError encodePadded(Duration duration = Duration::Counted)
    {
        if (m_av.av_frame_make_writable(m_frame) < 0)
            return AudioError::WriteFailed;
        const int rest = m_av.av_audio_fifo_size(m_fifo);
        m_av.av_audio_fifo_read(m_fifo, reinterpret_cast<void **>(m_frame->extended_data), rest);
        m_av.av_samples_set_silence(m_frame->extended_data, rest, m_frame->nb_samples - rest,
                                    m_codec->ch_layout.nb_channels, m_codec->sample_fmt);
        return encode(m_frame, duration);
    }

    // Sends one frame (nullptr flushes the encoder) and writes the packets that come out.
    AudioError encode(AVFrame *frame, Duration duration = Duration::Counted)
    {
        if (frame) {
            frame->pts = m_pts;
            m_pts += frame->nb_samples;
        }
        if (m_av.avcodec_send_frame(m_codec, frame) < 0)
            return AudioError::WriteFailed;
        while (m_av.avcodec_receive_packet(m_codec, m_packet) == 0) {
            m_av.av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
            if (duration == Duration::Shortest)
                m_packet->duration = 1;
            m_packet->stream_index = m_stream->index;
            if (m_av.av_interleaved_write_frame(m_format, m_packet) < 0)
                return AudioError::WriteFailed;
        }
        return m_format->pb->error < 0 ? AudioError::WriteFailed : AudioError::None;
    }

    WmaProfile m_profile;
    AVFormatContext *m_format = nullptr;
    AVCodecContext *m_codec = nullptr;
    AVStream *m_stream = nullptr;
    AVFrame *m_frame = nullptr;
    AVPacket *m_packet = nullptr;
    AVAudioFifo *m_fifo = nullptr;
    PcmConverter m_converter;
    std::vector<std::vector<float>> m_planes;
    int64_t m_pts = 0;
    const FfmpegLibrary &m_av;
};

} // namespace

std::unique_ptr<AudioWriter> makeWmaWriter(const WmaProfile &profile)
{
    const FfmpegLibrary *av = ffmpegLibrary();
    return av ? std::make_unique<WmaWriter>(profile, *av) : nullptr;
}
