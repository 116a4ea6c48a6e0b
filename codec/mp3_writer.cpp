#include "codec/answer_cache.h"
#include "codec/audio_codec.h"
#include "codec/pcm_converter.h"
#include "codec/vector_state.h"

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <lame/lame.h>
#include <tuple>
#include <vector>

namespace {

void quiet(const char *, va_list) {}

// One LAME set-up for the writer and the format check, so that the check answers for
// exactly what the writer will do. LAME always gets its input at the output rate: its own
// resampler lets tones above the new Nyquist frequency fold back into the audio.
lame_global_flags *newLame(const Mp3Params &params, int channels)
{
    clearUpperVectorState(); // lame_init_params builds its tables with libm
    lame_global_flags *lame = lame_init();
    if (!lame)
        return nullptr;
    lame_set_errorf(lame, quiet);
    lame_set_debugf(lame, quiet);
    lame_set_msgf(lame, quiet);
    lame_set_in_samplerate(lame, params.frequency);
    lame_set_num_channels(lame, channels);
    lame_set_out_samplerate(lame, params.frequency);
    lame_set_brate(lame, params.bitrate);
    lame_set_VBR(lame, vbr_off);
    lame_set_mode(lame, params.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return nullptr;
    }
    return lame;
}

class Mp3Writer : public AudioWriter {
public:
    explicit Mp3Writer(const Mp3Params &params) : m_params(params) {}
    ~Mp3Writer() override
    {
        if (m_lame)
            lame_close(m_lame);
        if (m_file)
            std::fclose(m_file);
    }

    AudioError create(const QString &path) override
    {
        if (m_params.channels < 1 || m_params.channels > 2)
            return AudioError::UnsupportedFormat;
        // Read and write: the LAME header is written over the first frame at the end.
        m_file = std::fopen(QFile::encodeName(path).constData(), "w+be");
        return m_file ? AudioError::None : AudioError::CannotCreate;
    }

    AudioError begin(PcmFormat input) override
    {
        // LAME takes one or two channels; a mono input feeds both when stereo is asked for.
        m_lameChannels = input.channels == 1 ? m_params.channels : 2;
        m_inputChannels = input.channels;
        // Blocks at the output rate in one or two channels go to LAME as they are; the others
        // are resampled or mixed down to float first.
        m_direct = input.rate == m_params.frequency && input.channels <= 2;
        if (!m_direct
            && !m_converter.setup(input, AV_SAMPLE_FMT_S16, {m_params.frequency, m_lameChannels},
                                  AV_SAMPLE_FMT_FLT))
            return AudioError::UnsupportedFormat;
        m_lame = newLame(m_params, m_lameChannels);
        return m_lame ? AudioError::None : AudioError::UnsupportedFormat;
    }

    AudioError write(const int16_t *samples, int frames) override
    {
        if (m_direct)
            return encode(samples, frames, m_inputChannels);
        const uint8_t *in = reinterpret_cast<const uint8_t *>(samples);
        return encodeConverted(&in, frames);
    }

    AudioError finish() override
    {
        if (!m_direct) {
            if (const AudioError drained = encodeConverted(nullptr, 0); drained != AudioError::None)
                return closeAfter(drained);
        }
        m_buffer.resize(7200);
        const int bytes = lame_encode_flush(m_lame, m_buffer.data(), int(m_buffer.size()));
        AudioError result = put(bytes);
        if (result == AudioError::None) {
            lame_mp3_tags_fid(m_lame, m_file);
            if (std::ferror(m_file))
                result = AudioError::WriteFailed;
        }
        return closeAfter(result);
    }

private:
    AudioError encode(const int16_t *samples, int frames, int channels)
    {
        m_buffer.resize(size_t(frames) * 5 / 4 + 7200);
        int16_t *pcm = const_cast<int16_t *>(samples);
        const int size = int(m_buffer.size());
        const int bytes = channels == 1
            ? lame_encode_buffer(m_lame, pcm, pcm, frames, m_buffer.data(), size)
            : lame_encode_buffer_interleaved(m_lame, pcm, frames, m_buffer.data(), size);
        return put(bytes);
    }

    // Converts frames to float at the output rate and encodes them (in == nullptr drains the
    // converter).
    AudioError encodeConverted(const uint8_t *const *in, int frames)
    {
        // Never 0: the input goes in even when the resampler gives nothing for it yet.
        m_floats.resize(size_t(std::max(m_converter.outputBound(frames), 1)) * m_lameChannels);
        uint8_t *out = reinterpret_cast<uint8_t *>(m_floats.data());
        const int got = m_converter.convert(&out, int(m_floats.size()) / m_lameChannels, in, frames);
        if (got < 0)
            return AudioError::UnsupportedFormat;
        m_buffer.resize(size_t(got) * 5 / 4 + 7200);
        const int size = int(m_buffer.size());
        float *pcm = m_floats.data();
        const int bytes = m_lameChannels == 1
            ? lame_encode_buffer_ieee_float(m_lame, pcm, pcm, got, m_buffer.data(), size)
            : lame_encode_buffer_interleaved_ieee_float(m_lame, pcm, got, m_buffer.data(), size);
        return put(bytes);
    }

    AudioError closeAfter(AudioError result)
    {
        if (std::fclose(m_file) != 0)
            result = AudioError::WriteFailed;
        m_file = nullptr;
        return result;
    }

    AudioError put(int bytes)
    {
        if (bytes < 0)
            return AudioError::UnsupportedFormat;
        if (bytes > 0 && std::fwrite(m_buffer.data(), 1, size_t(bytes), m_file) != size_t(bytes))
            return AudioError::WriteFailed;
        return AudioError::None;
    }

    Mp3Params m_params;
    int m_inputChannels = 0;
    int m_lameChannels = 0;
    bool m_direct = true;
    FILE *m_file = nullptr;
    lame_global_flags *m_lame = nullptr;
    PcmConverter m_converter;
    std::vector<unsigned char> m_buffer;
    std::vector<float> m_floats;
};

} // namespace

std::unique_ptr<AudioWriter> makeMp3Writer(const Mp3Params &params)
{
    return std::make_unique<Mp3Writer>(params);
}

bool lameAccepts(const Mp3Params &params)
{
    if (params.channels < 1 || params.channels > 2 || params.frequency <= 0 || params.bitrate <= 0)
        return false;
    static AnswerCache<std::tuple<int, int, int>> answers;
    return answers.answer({params.frequency, params.bitrate, params.channels}, [&params] {
        lame_global_flags *lame = newLame(params, params.channels);
        if (!lame)
            return false;
        const bool exact = lame_get_out_samplerate(lame) == params.frequency
            && lame_get_brate(lame) == params.bitrate;
        lame_close(lame);
        return exact;
    });
}
