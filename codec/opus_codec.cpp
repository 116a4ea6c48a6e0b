#include "codec/audio_codec.h"

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <opusenc.h>
#include <opusfile.h>

namespace {

// Opus decodes at 48 kHz whatever rate the encoder was given.
constexpr int kOpusRate = 48000;
constexpr int kSliceFrames = 960;

class OpusReader : public AudioReader {
public:
    ~OpusReader() override
    {
        if (m_file)
            op_free(m_file);
    }

    AudioError open(const QString &path) override
    {
        if (!isReadableFile(path))
            return AudioError::CannotOpen;
        int error = 0;
        m_file = op_open_file(QFile::encodeName(path).constData(), &error);
        if (!m_file)
            return AudioError::UnknownFormat;
        const int channels = op_channel_count(m_file, -1);
        if (!isPlausibleFormat(kOpusRate, channels))
            return AudioError::UnknownFormat;
        m_format = PcmFormat{kOpusRate, channels};
        // The exact length: the last granule position less the pre-skip.
        m_frames = op_pcm_total(m_file, -1);
        return m_frames >= 0 ? AudioError::None : AudioError::UnknownFormat;
    }

    PcmFormat format() const override { return m_format; }
    int64_t frames() const override { return m_frames; }

    int read(int16_t *out, int frames) override
    {
        const int channels = m_format.channels;
        int done = 0;
        while (done < frames) {
            int link = 0;
            const int got = op_read(m_file, out + size_t(done) * size_t(channels),
                                    (frames - done) * channels, &link);
            if (got == 0)
                break;
            // A hole is a gap in the stream; the audio around it is still good.
            if (got == OP_HOLE)
                continue;
            // A chained stream whose later links change the channels cannot go on in the same
            // blocks.
            if (got < 0 || op_channel_count(m_file, link) != channels)
                return done > 0 ? done : -1;
            done += got;
        }
        return done;
    }

private:
    OggOpusFile *m_file = nullptr;
    PcmFormat m_format;
    int64_t m_frames = 0;
};

class OpusWriter : public AudioWriter {
public:
    explicit OpusWriter(const OpusParams &params) : m_params(params) {}
    ~OpusWriter() override
    {
        if (m_encoder)
            ope_encoder_destroy(m_encoder);
        if (m_comments)
            ope_comments_destroy(m_comments);
        if (m_file)
            std::fclose(m_file);
    }

    AudioError create(const QString &path) override
    {
        m_file = std::fopen(QFile::encodeName(path).constData(), "wbe");
        return m_file ? AudioError::None : AudioError::CannotCreate;
    }

    AudioError begin(PcmFormat input) override
    {
        if (input.channels < 1 || input.channels > 8 || input.rate <= 0)
            return AudioError::UnsupportedFormat;
        m_channels = input.channels;
        m_comments = ope_comments_create();
        const OpusEncCallbacks callbacks{&OpusWriter::onWrite, &OpusWriter::onClose};
        int error = 0;
        // Mono and stereo are family 0; more channels take the surround layouts of family 1.
        m_encoder = ope_encoder_create_callbacks(&callbacks, this, m_comments, input.rate,
                                                 input.channels, input.channels > 2 ? 1 : 0,
                                                 &error);
        if (!m_encoder || error != OPE_OK || !configure())
            return AudioError::UnsupportedFormat;
        return AudioError::None;
    }

    AudioError write(const int16_t *samples, int frames) override
    {
        m_wroteAudio = m_wroteAudio || frames > 0;
        // In slices of an Opus frame, as opusenc feeds it: the encoder's buffer stays small.
        for (int done = 0; done < frames; done += kSliceFrames) {
            const int slice = std::min(kSliceFrames, frames - done);
            if (ope_encoder_write(m_encoder, samples + size_t(done) * size_t(m_channels), slice) != OPE_OK)
                return AudioError::WriteFailed;
        }
        return m_writeFailed ? AudioError::WriteFailed : AudioError::None;
    }

    // The drain pads the last packet and writes the end's granule position, so that decoders
    // give back exactly the frames written.
    AudioError finish() override
    {
        // libopusenc 0.2's drain asserts (aborts the program) on a stream without audio: such a
        // stream gets one frame of silence, the least it can end.
        if (!m_wroteAudio) {
            const int16_t silence[8] = {};
            ope_encoder_write(m_encoder, silence, 1);
        }
        const bool drained = ope_encoder_drain(m_encoder) == OPE_OK;
        ope_encoder_destroy(m_encoder);
        m_encoder = nullptr;
        const bool closed = m_file ? std::fclose(m_file) == 0 : m_closed;
        m_file = nullptr;
        return drained && closed && !m_writeFailed ? AudioError::None : AudioError::WriteFailed;
    }

private:
    bool configure()
    {
        const int bitrate = std::clamp(m_params.bitrate, kMinOpusBitrate, kMaxOpusBitrate) * 1000;
        const bool vbr = m_params.mode != OpusParams::Cbr;
        const bool constrained = m_params.mode == OpusParams::Cvbr;
        return ope_encoder_ctl(m_encoder, OPUS_SET_BITRATE(bitrate)) == OPE_OK
            && ope_encoder_ctl(m_encoder, OPUS_SET_VBR(vbr ? 1 : 0)) == OPE_OK
            && (!vbr || ope_encoder_ctl(m_encoder, OPUS_SET_VBR_CONSTRAINT(constrained ? 1 : 0)) == OPE_OK);
    }

    // A failed write is ours to report: told of it, libopusenc aborts the process in its drain
    // (an assertion). It goes on encoding into nothing instead, and the file is reported bad.
    static int onWrite(void *self, const unsigned char *bytes, opus_int32 length)
    {
        auto *writer = static_cast<OpusWriter *>(self);
        if (!writer->m_writeFailed
            && (!writer->m_file
                || std::fwrite(bytes, 1, size_t(length), writer->m_file) != size_t(length)))
            writer->m_writeFailed = true;
        return 0;
    }

    static int onClose(void *self)
    {
        auto *writer = static_cast<OpusWriter *>(self);
        if (!writer->m_file)
            return 0;
        writer->m_closed = std::fclose(writer->m_file) == 0;
        writer->m_file = nullptr;
        return writer->m_closed ? 0 : 1;
    }

    OpusParams m_params;
    FILE *m_file = nullptr;
    OggOpusComments *m_comments = nullptr;
    OggOpusEnc *m_encoder = nullptr;
    bool m_writeFailed = false;
    bool m_closed = false;
    bool m_wroteAudio = false;
    int m_channels = 0;
};

} // namespace

std::unique_ptr<AudioReader> makeOpusReader()
{
    return std::make_unique<OpusReader>();
}

std::unique_ptr<AudioWriter> makeOpusWriter(const OpusParams &params)
{
    return std::make_unique<OpusWriter>(params);
}
