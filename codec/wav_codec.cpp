#include "codec/audio_codec.h"
#include "codec/dither.h"

#include <QFile>
#include <algorithm>
#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace {

// Channel counts beyond this are not audio we can sensibly convert.
constexpr int kMaxChannels = 8;

// libsndfile reads many containers; this reader takes only the RIFF/WAVE family.
bool isRiffWave(int format)
{
    const int container = format & SF_FORMAT_TYPEMASK;
    return container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX || container == SF_FORMAT_RF64;
}

// How libsndfile's encodings reach the blocks. 16 bits and fewer are read as short (the top 16
// bits); deeper integers as int, left-justified; float as double, scaled here, because
// libsndfile's own float-to-integer reads either wrap beyond full scale or scale by the file's
// peak. The deep ones come to 16 bits through TpdfDither.
enum class Encoding { Refused, Narrow, DeepInteger, Float };

Encoding encodingOf(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610:
        return Encoding::Narrow;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
        return Encoding::DeepInteger;
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return Encoding::Float;
    default:
        return Encoding::Refused;
    }
}

SampleDepth depthOf(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_24: return SampleDepth{24, false};
    case SF_FORMAT_PCM_32: return SampleDepth{32, false};
    case SF_FORMAT_FLOAT: return SampleDepth{32, true};
    case SF_FORMAT_DOUBLE: return SampleDepth{64, true};
    default: return SampleDepth{};
    }
}

// The WAV encoding that holds a depth without loss.
int subformatOf(SampleDepth depth)
{
    if (depth.floating)
        return depth.bits > 32 ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT;
    if (depth.bits > 24)
        return SF_FORMAT_PCM_32;
    return depth.bits > 16 ? SF_FORMAT_PCM_24 : SF_FORMAT_PCM_16;
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
        if (!isReadableFile(path))
            return AudioError::CannotOpen;
        SF_INFO info{};
        m_file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
        if (!m_file)
            return AudioError::UnknownFormat;
        m_encoding = encodingOf(info.format);
        if (!isRiffWave(info.format) || m_encoding == Encoding::Refused || info.channels < 1
            || info.channels > kMaxChannels || info.samplerate <= 0)
            return AudioError::UnknownFormat;
        m_format = PcmFormat{info.samplerate, info.channels, depthOf(info.format)};
        m_frames = info.frames;
        return AudioError::None;
    }

    PcmFormat format() const override { return m_format; }
    int64_t frames() const override { return m_frames; }

    int read(int16_t *out, int frames) override
    {
        if (m_encoding == Encoding::Narrow)
            return checked(sf_readf_short(m_file, out, frames));
        m_wide.resize(size_t(frames) * size_t(m_format.channels));
        const int got = readWide(m_wide.data(), frames);
        if (got > 0)
            m_dither.toInt16(m_wide.data(), out, size_t(got) * size_t(m_format.channels));
        return got;
    }

    int readWide(int32_t *out, int frames) override
    {
        if (m_encoding == Encoding::DeepInteger)
            return checked(sf_readf_int(m_file, out, frames));
        if (m_encoding != Encoding::Float)
            return -1;
        m_floats.resize(size_t(frames) * size_t(m_format.channels));
        const sf_count_t got = sf_readf_double(m_file, m_floats.data(), frames);
        std::transform(m_floats.begin(), m_floats.begin() + got * m_format.channels, out,
                       floatToWide);
        return checked(got);
    }

private:
    int checked(sf_count_t got) const
    {
        if (got == 0 && sf_error(m_file) != SF_ERR_NO_ERROR)
            return -1;
        return int(got);
    }

    SNDFILE *m_file = nullptr;
    Encoding m_encoding = Encoding::Refused;
    std::vector<double> m_floats;
    std::vector<int32_t> m_wide;
    TpdfDither m_dither;
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
        info.format = SF_FORMAT_WAV | subformatOf(input.depth);
        m_file = sf_open_fd(m_fd, SFM_WRITE, &info, SF_FALSE);
        if (!m_file)
            return AudioError::UnsupportedFormat;
        // The header is kept current, so even a file that is never closed stays readable.
        sf_command(m_file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
        // Integer samples written to float are scaled to full scale 1.0 (not by default).
        sf_command(m_file, SFC_SET_SCALE_INT_FLOAT_WRITE, nullptr, SF_TRUE);
        return AudioError::None;
    }

    AudioError write(const int16_t *samples, int frames) override
    {
        if (sf_writef_short(m_file, samples, frames) != frames)
            return AudioError::WriteFailed;
        return AudioError::None;
    }

    bool keepsDepth() const override { return true; }

    AudioError writeWide(const int32_t *samples, int frames) override
    {
        if (sf_writef_int(m_file, samples, frames) != frames)
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
