#include "codec/asf_header.h"
#include "codec/audio_codec.h"
#include "codec/ffmpeg_library.h"
#include "codec/ffmpeg_util.h"
#include "codec/pcm_converter.h"

#include <algorithm>
#include <cstring>
#include <optional>
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
        if (!isReadableFile(path))
            return AudioError::CannotOpen;
        const AVInputFormat *asf = m_av.av_find_input_format("asf");
        if (m_av.avformat_open_input(&m_format, ffmpegFileUrl(path).constData(), asf, nullptr) < 0
            || m_av.avformat_find_stream_info(m_format, nullptr) < 0 || !openDecoder())
            return AudioError::UnknownFormat;
        m_packet = m_av.av_packet_alloc();
        m_frame = m_av.av_frame_alloc();
        // The decoder may change its rate and channels as it goes; blocks keep these.
        m_output = PcmFormat{m_codec->sample_rate, m_codec->ch_layout.nb_channels};
        if (!m_packet || !m_frame || !plausible(m_output)
            || !setUpConverter(m_output, m_codec->sample_fmt))
            return AudioError::UnknownFormat;
        if (isWma()) {
            m_playMs = asfPlayMilliseconds(path);
            m_left = frames();
        }
        return AudioError::None;
    }

    PcmFormat format() const override { return m_output; }

    int64_t frames() const override
    {
        const AVStream *stream = m_format->streams[m_streamIndex];
        int64_t total = 0;
        if (stream->duration != AV_NOPTS_VALUE)
            total = m_av.av_rescale_q(stream->duration, stream->time_base, {1, m_output.rate});
        else if (m_format->duration != AV_NOPTS_VALUE)
            total = m_av.av_rescale_q(m_format->duration, AV_TIME_BASE_Q, {1, m_output.rate});
        if (isWma()) {
            // The decoder gives whole frames, all but the first; the container's duration is
            // in milliseconds, so rounding to whole frames gives the exact count. The header's
            // own length holds when FFmpeg estimated one (a tag editor grew the header).
            if (m_playMs)
                total = m_av.av_rescale_q(*m_playMs, {1, 1000}, {1, m_output.rate});
            const int frame = wmaFrameLength(m_output.rate);
            total = (total + frame / 2) / frame * frame - frame;
        }
        return std::max<int64_t>(total, 0);
    }

    // WMA ends at the container's length: what the decoder gives beyond it is the frame that
    // completes the last one's overlap (see WmaWriter), silence.
    int read(int16_t *out, int frames) override
    {
        const size_t channels = size_t(m_output.channels);
        if (m_left >= 0)
            frames = int(std::min<int64_t>(frames, m_left));
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
        if (m_left >= 0)
            m_left -= int64_t(copied / channels);
        return int(copied / channels);
    }

private:
    bool isWma() const
    {
        return m_codec->codec_id == AV_CODEC_ID_WMAV1 || m_codec->codec_id == AV_CODEC_ID_WMAV2;
    }

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
                return convertInto(nullptr, 0); // a resampler's last frames
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

    static bool plausible(PcmFormat format)
    {
        return format.channels >= 1 && format.channels <= kMaxChannels && format.rate > 0;
    }

    bool setUpConverter(PcmFormat in, int sampleFormat)
    {
        m_converterInput = in;
        m_converterSampleFormat = sampleFormat;
        return m_converter.setup(in, AVSampleFormat(sampleFormat), m_output, AV_SAMPLE_FMT_S16);
    }

    // A frame in another format than the one before (a stream whose channels, rate or sample
    // format change part-way) gets a converter of its own, into the same output format; what
    // the old one still holds comes out first.
    bool followFormat()
    {
        const PcmFormat in{m_frame->sample_rate, m_frame->ch_layout.nb_channels};
        if (in == m_converterInput && m_frame->format == m_converterSampleFormat)
            return true;
        if (!plausible(in) || !convertInto(nullptr, 0))
            return false;
        return setUpConverter(in, m_frame->format);
    }

    // Appends the converted frames to the pending samples (in == nullptr drains).
    bool convertInto(const uint8_t *const *in, int frames)
    {
        const size_t channels = size_t(m_output.channels);
        const size_t kept = m_pending.size() - m_pendingPos;
        m_pending.erase(m_pending.begin(), m_pending.begin() + long(m_pendingPos));
        m_pendingPos = 0;
        m_pending.resize(kept + size_t(std::max(m_converter.outputBound(frames), 0)) * channels);
        uint8_t *out = reinterpret_cast<uint8_t *>(m_pending.data() + kept);
        const int got = m_converter.convert(&out, int((m_pending.size() - kept) / channels), in,
                                            frames);
        m_pending.resize(kept + size_t(std::max(got, 0)) * channels);
        return got >= 0;
    }

    bool takeFrame()
    {
        const bool ok = followFormat() && convertInto(m_frame->extended_data, m_frame->nb_samples);
        m_av.av_frame_unref(m_frame);
        return ok;
    }

    AVFormatContext *m_format = nullptr;
    AVCodecContext *m_codec = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    int m_streamIndex = -1;
    PcmFormat m_output;
    PcmFormat m_converterInput;
    int m_converterSampleFormat = AV_SAMPLE_FMT_NONE;
    PcmConverter m_converter;
    std::vector<int16_t> m_pending;
    size_t m_pendingPos = 0;
    std::optional<int64_t> m_playMs; // as the ASF header states it
    int64_t m_left = -1; // frames still to give, -1: up to the decoder's end
    bool m_ended = false;
    const FfmpegLibrary &m_av;
};

} // namespace

std::unique_ptr<AudioReader> makeWmaReader()
{
    const FfmpegLibrary *av = ffmpegLibrary();
    return av ? std::make_unique<WmaReader>(*av) : nullptr;
}
