#include "codec/audio_codec.h"

#include <QFile>
#include <algorithm>
#include <mpg123.h>

namespace {

// A handle that decodes as mpg123's own tool does: gapless, so the encoder's delay and padding
// that the LAME header records are dropped, and quiet. 16-bit output at every rate.
mpg123_handle *newHandle()
{
    mpg123_handle *handle = mpg123_new(nullptr, nullptr);
    if (!handle)
        return nullptr;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    const long *rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    mpg123_format_none(handle);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return handle;
}

void deleteHandle(mpg123_handle *handle)
{
    if (handle) {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
}

long stateOf(mpg123_handle *handle, mpg123_state key)
{
    long value = -1;
    double unused = 0;
    return mpg123_getstate(handle, key, &value, &unused) == MPG123_OK ? value : -1;
}

// The samples that a gapless decoding of `path` gives. A scan counts every frame; the decoding
// handle itself is never scanned, because a scan that finds fewer frames than the LAME header
// promises (a file cut short, or a header that overstates its frames) turns gapless decoding
// off altogether, and the encoder's delay would then stay at the start. The tool keeps
// dropping it, and so does the unscanned handle: for those files the count is the scan's
// whole frames less the delay at the start. -1 when the file cannot be scanned.
int64_t gaplessLength(const QByteArray &path)
{
    mpg123_handle *scan = newHandle();
    int64_t length = -1;
    if (scan && mpg123_open(scan, path.constData()) == MPG123_OK && mpg123_scan(scan) == MPG123_OK) {
        length = mpg123_length(scan);
        const int64_t whole = int64_t(mpg123_framelength(scan)) * mpg123_spf(scan);
        const long encoderDelay = stateOf(scan, MPG123_ENC_DELAY);
        const long decoderDelay = stateOf(scan, MPG123_DEC_DELAY);
        if (length == whole && encoderDelay >= 0 && decoderDelay >= 0)
            length = std::max<int64_t>(0, length - encoderDelay - decoderDelay);
    }
    deleteHandle(scan);
    return length;
}

class Mp3Reader : public AudioReader {
public:
    ~Mp3Reader() override { deleteHandle(m_handle); }

    AudioError open(const QString &path) override
    {
        if (!isReadableFile(path))
            return AudioError::CannotOpen;
        const QByteArray name = QFile::encodeName(path);
        m_handle = newHandle();
        if (!m_handle || mpg123_open(m_handle, name.constData()) != MPG123_OK)
            return AudioError::CannotOpen;
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0)
            return AudioError::UnknownFormat;
        // Keep this format for the whole file, whatever later frames say.
        mpg123_format_none(m_handle);
        mpg123_format(m_handle, rate, channels, MPG123_ENC_SIGNED_16);
        m_format = PcmFormat{int(rate), channels};
        m_frames = gaplessLength(name);
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
