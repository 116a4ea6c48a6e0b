#include "audio/audio_codec.h"
#include "audio/ffmpeg_library.h"
#include "audio/ffmpeg_util.h"
#include "audio/pcm_converter.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxChannels = 8;

// Decodes the audio stream of an ASF file and hands it out as interleaved 16-bit samples.
class WmaReader : public AudioReader {
public:
    explicit WmaReader(const FfmpegLibrary &av) : m_av(av) {}
    ~WmaReader() override
    {
        m_av.av_frame_free(&m_frame);
        m_av.av_packet_free(&m_packet);
        m_av.avcodec_free_context(&m_codec);
        m_av.avformat_close_input(&m_format);
    }

    AudioError open(const QString &path) override
    {
        if (!QFileInfo(path).isReadable() || QFileInfo(path).isDir())
            return AudioError::CannotOpen;
        const AVInputFormat *asf = m_av.av_find_input_format("asf");
        if (m_av.avformat_open_input(&m_format, ffmpegFileUrl(path).constData(), asf, nullptr) < 0
            || m_av.avformat_find_stream_info(m_format, nullptr) < 0 || !openDecoder())
            return AudioError::UnknownFormat;
        m_packet = m_av.av_packet_alloc();
        m_frame = m_av.av_frame_alloc();
        const PcmFormat format = this->format();
        if (!m_packet || !m_frame || format.channels < 1 || format.channels > kMaxChannels
            || format.rate <= 0
            || !m_converter.setup(format, m_codec->sample_fmt, format, AV_SAMPLE_FMT_S16))
            return AudioError::UnknownFormat;
        return AudioError::None;
    }

    PcmFormat format() const override
    {
        return PcmFormat{m_codec->sample_rate, m_codec->ch_layout.nb_channels};
    }

    int64_t frames() const override
    {
        const AVStream *stream = m_format->streams[m_streamIndex];
        int64_t total = 0;
        if (stream->duration != AV_NOPTS_VALUE)
            total = m_av.av_rescale_q(stream->duration, stream->time_base, {1, m_codec->sample_rate});
        else if (m_format->duration != AV_NOPTS_VALUE)
            total = m_av.av_rescale_q(m_format->duration, AV_TIME_BASE_Q, {1, m_codec->sample_rate});
        if (m_codec->codec_id == AV_CODEC_ID_WMAV1 || m_codec->codec_id == AV_CODEC_ID_WMAV2) {
            // The decoder gives whole frames, all but the first; the container's duration is
            // in milliseconds, so rounding to whole frames gives the exact count.
            const int frame = wmaFrameLength(m_codec->sample_rate);
            total = (total + frame / 2) / frame * frame - frame;
        }
        return std::max<int64_t>(total, 0);
    }

    int read(int16_t *out, int frames) override
    {
        const size_t channels = size_t(m_codec->ch_layout.nb_channels);
        const size_t wanted = size_t(frames) * channels;
        size_t copied = 0;
        while (copied < wanted) {
            if (m_pendingPos == m_pending.size()) {
                if (m_ended)
                    break;
                if (!decodeMore())
                    return copied > 0 ? int(copied / channels) : -1;
                continue;
            }
            const size_t n = std::min(wanted - copied, m_pending.size() - m_pendingPos);
            std::memcpy(out + copied, m_pending.data() + m_pendingPos, n * sizeof(int16_t));
            copied += n;
            m_pendingPos += n;
        }
        return int(copied / channels);
    }

private:
    bool openDecoder()
    {
        const AVCodec *decoder = nullptr;
        m_streamIndex = m_av.av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
        if (m_streamIndex < 0 || !decoder)
            return false;
        m_codec = m_av.avcodec_alloc_context3(decoder);
        return m_codec
            && m_av.avcodec_parameters_to_context(m_codec, m_format->streams[m_streamIndex]->codecpar) >= 0
            && m_av.avcodec_open2(m_codec, decoder, nullptr) >= 0;
    }

    // Fills the pending samples with the next decoded frame; false on bad data.
    bool decodeMore()
    {
        for (;;) {
            const int received = m_av.avcodec_receive_frame(m_codec, m_frame);
            if (received == 0)
                return takeFrame();
            if (received == AVERROR_EOF) {
                m_ended = true;
                return true;
            }
            if (received != AVERROR(EAGAIN) || !sendPacket())
                return false;
        }
    }

    bool sendPacket()
    {
        for (;;) {
            const int read = m_av.av_read_frame(m_format, m_packet);
            if (read == AVERROR_EOF)
                return m_av.avcodec_send_packet(m_codec, nullptr) >= 0;
            if (read < 0)
                return false;
            const bool ours = m_packet->stream_index == m_streamIndex;
            const int sent = ours ? m_av.avcodec_send_packet(m_codec, m_packet) : 0;
            m_av.av_packet_unref(m_packet);
            if (ours)
                return sent >= 0;
        }
    }

    bool takeFrame()
    {
        const int channels = m_codec->ch_layout.nb_channels;
        if (m_frame->ch_layout.nb_channels != channels || m_frame->format != m_codec->sample_fmt
            || m_frame->sample_rate != m_codec->sample_rate) {
            m_av.av_frame_unref(m_frame);
            return false;
        }
        m_pending.resize(size_t(m_converter.outputBound(m_frame->nb_samples)) * size_t(channels));
        uint8_t *out = reinterpret_cast<uint8_t *>(m_pending.data());
        const int got = m_converter.convert(&out, int(m_pending.size()) / channels,
                                            m_frame->extended_data, m_frame->nb_samples);
        m_av.av_frame_unref(m_frame);
        if (got < 0)
            return false;
        m_pending.resize(size_t(got) * size_t(channels));
        m_pendingPos = 0;
        return true;
    }

    AVFormatContext *m_format = nullptr;
    AVCodecContext *m_codec = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    int m_streamIndex = -1;
    PcmConverter m_converter;
    std::vector<int16_t> m_pending;
    size_t m_pendingPos = 0;
    bool m_ended = false;
    const FfmpegLibrary &m_av;
};

} // namespace

std::unique_ptr<AudioReader> makeWmaReader()
{
    const FfmpegLibrary *av = ffmpegLibrary();
    return av ? std::make_unique<WmaReader>(*av) : nullptr;
}
