#include "codec/answer_cache.h"
#include "codec/audio_codec.h"
#include "codec/pcm_converter.h"
#include "codec/vector_state.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <tuple>
#include <vorbis/vorbisenc.h>

namespace {

// Frames handed to the encoder at a time, as oggenc does: vorbis_analysis_blockout moves the
// whole pending buffer down after every block, so a second at once costs a copy per block.
constexpr int kSliceFrames = 1024;

// Quality 0..1000 spreads evenly over the Vorbis quality scale -0.1..1.0.
float vorbisQuality(int quality)
{
    return -0.1f + 1.1f * float(std::clamp(quality, 0, 1000)) / 1000.0f;
}

long bitsPerSecond(int kbps)
{
    return kbps > 0 ? long(kbps) * 1000 : -1;
}

// Quality and bit rate are alternatives in Vorbis: a quality other than -1 wins, otherwise the
// bit rate is the average, with the minimum and maximum as hard limits when they are not 0.
// Without limits the bit rate only chooses the quality (as oggenc -b does): the bit rate
// manager is several times slower and buys nothing there.
// A combination libvorbisenc cannot encode makes setup fail (OV_EIMPL).
bool setupEncoder(vorbis_info *info, const OggParams &p)
{
    clearUpperVectorState();
    if (p.quality != -1)
        return vorbis_encode_setup_vbr(info, p.channels, p.frequency, vorbisQuality(p.quality)) == 0
            && vorbis_encode_setup_init(info) == 0;
    if (vorbis_encode_setup_managed(info, p.channels, p.frequency, bitsPerSecond(p.maxBitrate),
                                    bitsPerSecond(p.bitrate), bitsPerSecond(p.minBitrate)) != 0)
        return false;
    if (p.minBitrate <= 0 && p.maxBitrate <= 0)
        vorbis_encode_ctl(info, OV_ECTL_RATEMANAGE2_SET, nullptr);
    return vorbis_encode_setup_init(info) == 0;
}

class OggWriter : public AudioWriter {
public:
    explicit OggWriter(const OggParams &params) : m_params(params) {}
    ~OggWriter() override
    {
        if (m_started) {
            ogg_stream_clear(&m_stream);
            vorbis_block_clear(&m_block);
            vorbis_dsp_clear(&m_dsp);
        }
        vorbis_info_clear(&m_info);
        if (m_file)
            std::fclose(m_file);
    }

    AudioError create(const QString &path) override
    {
        vorbis_info_init(&m_info);
        if (m_params.channels < 1 || m_params.frequency <= 0 || !setupEncoder(&m_info, m_params))
            return AudioError::UnsupportedFormat;
        m_file = std::fopen(QFile::encodeName(path).constData(), "wbe");
        if (!m_file)
            return AudioError::CannotCreate;
        return startStream();
    }

    AudioError begin(PcmFormat input) override
    {
        m_inputChannels = input.channels;
        const bool ok = m_converter.setup(input, AV_SAMPLE_FMT_S16,
                                          {m_params.frequency, m_params.channels},
                                          AV_SAMPLE_FMT_FLTP);
        return ok ? AudioError::None : AudioError::UnsupportedFormat;
    }

    AudioError write(const int16_t *samples, int frames) override
    {
        const int channels = m_inputChannels;
        for (int done = 0; done < frames; done += kSliceFrames) {
            const uint8_t *in = reinterpret_cast<const uint8_t *>(samples + size_t(done) * channels);
            if (const AudioError e = analyse(&in, std::min(kSliceFrames, frames - done));
                e != AudioError::None)
                return e;
        }
        return AudioError::None;
    }

    AudioError finish() override
    {
        AudioError result = analyse(nullptr, 0);
        vorbis_analysis_wrote(&m_dsp, 0);
        if (result == AudioError::None)
            result = drain();
        if (std::fclose(m_file) != 0)
            result = AudioError::WriteFailed;
        m_file = nullptr;
        return result;
    }

private:
    AudioError startStream()
    {
        vorbis_analysis_init(&m_dsp, &m_info);
        vorbis_block_init(&m_dsp, &m_block);
        ogg_stream_init(&m_stream, int(QRandomGenerator::global()->generate() & 0x7fffffff));
        m_started = true;
        vorbis_comment comment;
        vorbis_comment_init(&comment);
        ogg_packet header, commentHeader, codebooks;
        vorbis_analysis_headerout(&m_dsp, &comment, &header, &commentHeader, &codebooks);
        vorbis_comment_clear(&comment);
        ogg_stream_packetin(&m_stream, &header);
        ogg_stream_packetin(&m_stream, &commentHeader);
        ogg_stream_packetin(&m_stream, &codebooks);
        // The audio starts on a page of its own, as the format asks.
        ogg_page page;
        while (ogg_stream_flush(&m_stream, &page) != 0)
            if (!writePage(page))
                return AudioError::WriteFailed;
        return AudioError::None;
    }

    // Converts frames into the encoder's buffer (in == nullptr drains the converter).
    AudioError analyse(const uint8_t *const *in, int frames)
    {
        // The resampler may keep a whole slice back and give nothing yet: the input still goes
        // in, and the encoder does not hear of 0 frames, which would end the stream.
        const int bound = std::max(m_converter.outputBound(frames), 1);
        float **buffer = vorbis_analysis_buffer(&m_dsp, bound);
        const int got = m_converter.convert(reinterpret_cast<uint8_t **>(buffer), bound, in, frames);
        if (got < 0)
            return AudioError::UnsupportedFormat;
        if (got == 0)
            return AudioError::None;
        vorbis_analysis_wrote(&m_dsp, got);
        return drain();
    }

    AudioError drain()
    {
        while (vorbis_analysis_blockout(&m_dsp, &m_block) == 1) {
            vorbis_analysis(&m_block, nullptr);
            vorbis_bitrate_addblock(&m_block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&m_dsp, &packet) == 1) {
                ogg_stream_packetin(&m_stream, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&m_stream, &page) != 0)
                    if (!writePage(page))
                        return AudioError::WriteFailed;
            }
        }
        return AudioError::None;
    }

    bool writePage(const ogg_page &page)
    {
        return std::fwrite(page.header, 1, size_t(page.header_len), m_file) == size_t(page.header_len)
            && std::fwrite(page.body, 1, size_t(page.body_len), m_file) == size_t(page.body_len);
    }

    OggParams m_params;
    FILE *m_file = nullptr;
    vorbis_info m_info{};
    vorbis_dsp_state m_dsp{};
    vorbis_block m_block{};
    ogg_stream_state m_stream{};
    bool m_started = false;
    PcmConverter m_converter;
    int m_inputChannels = 0;
};

} // namespace

std::unique_ptr<AudioWriter> makeOggWriter(const OggParams &params)
{
    return std::make_unique<OggWriter>(params);
}

bool vorbisAccepts(const OggParams &params)
{
    if (params.channels < 1 || params.frequency <= 0)
        return false;
    static AnswerCache<std::tuple<int, int, int, int, int, int>> answers;
    return answers.answer({params.frequency, params.channels, params.bitrate, params.minBitrate,
                           params.maxBitrate, params.quality},
                          [&params] {
                              vorbis_info info;
                              vorbis_info_init(&info);
                              const bool ok = setupEncoder(&info, params);
                              vorbis_info_clear(&info);
                              return ok;
                          });
}
