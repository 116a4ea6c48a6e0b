#include "audio/audio_codec.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

namespace {

// Channel counts beyond this are not audio we can sensibly convert.
constexpr int kMaxChannels = 8;

// libsndfile reads many containers; this reader takes only the RIFF/WAVE family.
bool isRiffWave(int format)
{
    const int container = format & SF_FORMAT_TYPEMASK;
    return container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX || container == SF_FORMAT_RF64;
}

class WavReader : public AudioReader {
public:
    ~WavReader() override
    {
        if (m_file)
            sf_close(m_file);
    }

    AudioError open(const QString &path) override
    {
        if (!QFileInfo(path).isReadable() || QFileInfo(path).isDir())
            return AudioError::CannotOpen;
        SF_INFO info{};
        m_file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
        if (!m_file)
            return AudioError::UnknownFormat;
        if (!isRiffWave(info.format) || info.channels < 1 || info.channels > kMaxChannels
            || info.samplerate <= 0)
            return AudioError::UnknownFormat;
        m_format = PcmFormat{info.samplerate, info.channels};
        m_frames = info.frames;
        return AudioError::None;
    }

    PcmFormat format() const override { return m_format; }
    int64_t frames() const override { return m_frames; }

    int read(int16_t *out, int frames) override
    {
        const sf_count_t got = sf_readf_short(m_file, out, frames);
        if (got == 0 && sf_error(m_file) != SF_ERR_NO_ERROR)
            return -1;
        return int(got);
    }

private:
    SNDFILE *m_file = nullptr;
    PcmFormat m_format;
    int64_t m_frames = 0;
};

class WavWriter : public AudioWriter {
public:
    ~WavWriter() override
    {
        if (m_file)
            sf_close(m_file);
        if (m_fd >= 0)
            ::close(m_fd);
    }

    AudioError create(const QString &path) override
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC,
                      0666);
        return m_fd >= 0 ? AudioError::None : AudioError::CannotCreate;
    }

    AudioError begin(PcmFormat input) override
    {
        SF_INFO info{};
        info.samplerate = input.rate;
        info.channels = input.channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        m_file = sf_open_fd(m_fd, SFM_WRITE, &info, SF_FALSE);
        if (!m_file)
            return AudioError::UnsupportedFormat;
        // The header is kept current, so even a file that is never closed stays readable.
        sf_command(m_file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
        return AudioError::None;
    }

    AudioError write(const int16_t *samples, int frames) override
    {
        if (sf_writef_short(m_file, samples, frames) != frames)
            return AudioError::WriteFailed;
        return AudioError::None;
    }

    AudioError finish() override
    {
        sf_write_sync(m_file);
        const bool failed = sf_error(m_file) != SF_ERR_NO_ERROR;
        const bool closeFailed = sf_close(m_file) != 0 || ::close(m_fd) != 0;
        m_file = nullptr;
        m_fd = -1;
        return failed || closeFailed ? AudioError::WriteFailed : AudioError::None;
    }

private:
    int m_fd = -1;
    SNDFILE *m_file = nullptr;
};

} // namespace

std::unique_ptr<AudioReader> makeWavReader()
{
    return std::make_unique<WavReader>();
}

std::unique_ptr<AudioWriter> makeWavWriter()
{
    return std::make_unique<WavWriter>();
}
