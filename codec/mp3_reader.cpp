#include "codec/audio_codec.h"

#include <QFile>
#include <QFileInfo>
#include <mpg123.h>

namespace {

class Mp3Reader : public AudioReader {
public:
    ~Mp3Reader() override
    {
        if (m_handle) {
            mpg123_close(m_handle);
            mpg123_delete(m_handle);
        }
    }

    AudioError open(const QString &path) override
    {
        if (!QFileInfo(path).isReadable() || QFileInfo(path).isDir())
            return AudioError::CannotOpen;
        m_handle = mpg123_new(nullptr, nullptr);
        if (!m_handle)
            return AudioError::CannotOpen;
        // Gapless decoding drops the encoder's delay and padding that the LAME header records.
        mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
        acceptSigned16();
        if (mpg123_open(m_handle, QFile::encodeName(path).constData()) != MPG123_OK)
            return AudioError::CannotOpen;
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0)
            return AudioError::UnknownFormat;
        // Keep this format for the whole file, whatever later frames say.
        mpg123_format_none(m_handle);
        mpg123_format(m_handle, rate, channels, MPG123_ENC_SIGNED_16);
        m_format = PcmFormat{int(rate), channels};
        if (mpg123_scan(m_handle) != MPG123_OK)
            return AudioError::UnknownFormat;
        m_frames = mpg123_length(m_handle);
        return m_frames > 0 ? AudioError::None : AudioError::UnknownFormat;
    }

    PcmFormat format() const override { return m_format; }
    int64_t frames() const override { return m_frames; }

    int read(int16_t *out, int frames) override
    {
        const size_t frameBytes = sizeof(int16_t) * size_t(m_format.channels);
        const size_t wanted = size_t(frames) * frameBytes;
        size_t total = 0;
        while (total < wanted && !m_ended) {
            size_t done = 0;
            const int result = mpg123_read(m_handle, reinterpret_cast<unsigned char *>(out) + total,
                                           wanted - total, &done);
            total += done;
            if (result == MPG123_DONE)
                m_ended = true;
            else if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
                return total > 0 ? int(total / frameBytes) : -1;
        }
        return int(total / frameBytes);
    }

private:
    void acceptSigned16()
    {
        const long *rates = nullptr;
        size_t count = 0;
        mpg123_rates(&rates, &count);
        mpg123_format_none(m_handle);
        for (size_t i = 0; i < count; ++i)
            mpg123_format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }

    mpg123_handle *m_handle = nullptr;
    PcmFormat m_format;
    int64_t m_frames = 0;
    bool m_ended = false;
};

} // namespace

std::unique_ptr<AudioReader> makeMp3Reader()
{
    return std::make_unique<Mp3Reader>();
}
