#include "codec/audio_codec.h"

#include <QFile>
#include <vorbis/vorbisfile.h>

namespace {

class OggReader : public AudioReader {
public:
    ~OggReader() override
    {
        if (m_open)
            ov_clear(&m_file);
    }

    AudioError open(const QString &path) override
    {
        if (!isReadableFile(path))
            return AudioError::CannotOpen;
        if (ov_fopen(QFile::encodeName(path).constData(), &m_file) != 0)
            return AudioError::UnknownFormat;
        m_open = true;
        const vorbis_info *info = ov_info(&m_file, -1);
        // Checked as the library's own long, before it is narrowed to an int.
        if (!info || !isPlausibleFormat(info->rate, info->channels))
            return AudioError::UnknownFormat;
        m_format = PcmFormat{int(info->rate), info->channels};
        m_frames = ov_pcm_total(&m_file, -1);
        return m_frames >= 0 ? AudioError::None : AudioError::UnknownFormat;
    }

    PcmFormat format() const override { return m_format; }
    int64_t frames() const override { return m_frames; }

    int read(int16_t *out, int frames) override
    {
        const int frameBytes = int(sizeof(int16_t)) * m_format.channels;
        const int wanted = frames * frameBytes;
        char *bytes = reinterpret_cast<char *>(out);
        int total = 0;
        while (total < wanted) {
            int link = 0;
            const long got = ov_read(&m_file, bytes + total, wanted - total, 0, 2, 1, &link);
            if (got == 0)
                break;
            // A hole is a gap in the stream; the audio around it is still good.
            if (got == OV_HOLE)
                continue;
            if (got < 0 || !sameFormat(link))
                return total > 0 ? total / frameBytes : -1;
            total += int(got);
        }
        return total / frameBytes;
    }

private:
    // A chained stream whose later links change the format cannot go on in the same blocks.
    bool sameFormat(int link)
    {
        const vorbis_info *info = ov_info(&m_file, link);
        return info && info->channels == m_format.channels && info->rate == m_format.rate;
    }

    OggVorbis_File m_file{};
    bool m_open = false;
    PcmFormat m_format;
    int64_t m_frames = 0;
};

} // namespace

std::unique_ptr<AudioReader> makeOggReader()
{
    return std::make_unique<OggReader>();
}
