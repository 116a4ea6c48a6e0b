#include "codec/audio_codec.h"
#include "codec/dither.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_decoder.h>
#include <FLAC/stream_encoder.h>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Room for tags written later, as the flac tool leaves it: TagLib then rewrites no audio.
constexpr unsigned kPaddingBytes = 8192;

// Decoded samples are kept left-justified, as a WAV file's are read: full scale is 2^31 at
// every depth, so that shallower ones are moved up and deeper ones keep all their bits.
int32_t toWide(FLAC__int32 sample, unsigned bits)
{
    return int32_t(uint32_t(sample) << (32 - bits));
}

// The depths FLAC holds without loss wherever it is played: up to 24 bits. Deeper integers
// and float are rounded to 24 bits; that error lies far below any 24-bit converter's noise.
constexpr int kMaxFlacBits = 24;

int flacBitsFor(SampleDepth depth)
{
    if (depth.floating)
        return kMaxFlacBits;
    return std::clamp(depth.bits, 16, kMaxFlacBits);
}

class FlacReader : public AudioReader {
public:
    ~FlacReader() override
    {
        if (m_decoder)
            FLAC__stream_decoder_delete(m_decoder);
    }

    AudioError open(const QString &path) override
    {
        if (!isReadableFile(path))
            return AudioError::CannotOpen;
        m_decoder = FLAC__stream_decoder_new();
        if (!m_decoder)
            return AudioError::CannotOpen;
        if (FLAC__stream_decoder_init_file(m_decoder, QFile::encodeName(path).constData(),
                                           &FlacReader::onWrite, &FlacReader::onMetadata,
                                           &FlacReader::onError, this)
            != FLAC__STREAM_DECODER_INIT_STATUS_OK)
            return AudioError::UnknownFormat;
        if (!FLAC__stream_decoder_process_until_end_of_metadata(m_decoder) || !m_haveInfo
            || m_failed)
            return AudioError::UnknownFormat;
        return AudioError::None;
    }

    PcmFormat format() const override { return m_format; }
    int64_t frames() const override { return m_frames; }

    // A deep source is dithered as a deep WAV file is; the others give their top 16 bits.
    int read(int16_t *out, int frames) override
    {
        m_wideOut.resize(size_t(std::max(frames, 0)) * size_t(m_format.channels));
        const int got = readWide(m_wideOut.data(), frames);
        const size_t count = size_t(std::max(got, 0)) * size_t(m_format.channels);
        if (m_format.depth.isDeep())
            m_dither.toInt16(m_wideOut.data(), out, count);
        else
            std::transform(m_wideOut.begin(), m_wideOut.begin() + qsizetype(count), out,
                           [](int32_t sample) { return int16_t(sample >> 16); });
        return got;
    }

    int readWide(int32_t *out, int frames) override
    {
        const size_t channels = size_t(m_format.channels);
        int done = 0;
        while (done < frames) {
            if (m_next == m_pending.size() && !decodeMore())
                break;
            const size_t take = std::min((m_pending.size() - m_next) / channels, size_t(frames - done));
            std::copy_n(m_pending.begin() + qsizetype(m_next), take * channels,
                        out + size_t(done) * channels);
            m_next += take * channels;
            done += int(take);
        }
        if (done == 0 && m_failed)
            return -1;
        return done;
    }

    // The decoder hands on the frame that holds `frame`, cut to begin there.
    bool seek(int64_t frame) override
    {
        m_pending.clear();
        m_next = 0;
        if (m_failed || frame < 0 || (m_frames > 0 && frame > m_frames))
            return false;
        if (FLAC__stream_decoder_seek_absolute(m_decoder, FLAC__uint64(frame)))
            return true;
        m_pending.clear();
        m_failed = true;
        return false;
    }

private:
    bool decodeMore()
    {
        m_pending.clear();
        m_next = 0;
        while (m_pending.empty() && !m_failed) {
            const auto state = FLAC__stream_decoder_get_state(m_decoder);
            if (state == FLAC__STREAM_DECODER_END_OF_STREAM)
                return false;
            if (!FLAC__stream_decoder_process_single(m_decoder)) {
                m_failed = true;
                return false;
            }
        }
        return !m_pending.empty();
    }

    static FLAC__StreamDecoderWriteStatus onWrite(const FLAC__StreamDecoder *,
                                                  const FLAC__Frame *frame,
                                                  const FLAC__int32 *const buffer[], void *self)
    {
        auto *reader = static_cast<FlacReader *>(self);
        const unsigned channels = frame->header.channels;
        const unsigned bits = frame->header.bits_per_sample;
        // A frame that changes the stream's format cannot go on in the same blocks.
        if (int(channels) != reader->m_format.channels || bits < 4 || bits > 32) {
            reader->m_failed = true;
            return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
        }
        const unsigned count = frame->header.blocksize;
        reader->m_pending.resize(size_t(count) * channels);
        for (unsigned i = 0; i < count; ++i)
            for (unsigned c = 0; c < channels; ++c)
                reader->m_pending[size_t(i) * channels + c] = toWide(buffer[c][i], bits);
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }

    static void onMetadata(const FLAC__StreamDecoder *, const FLAC__StreamMetadata *metadata,
                           void *self)
    {
        auto *reader = static_cast<FlacReader *>(self);
        if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO || reader->m_haveInfo)
            return;
        const FLAC__StreamMetadata_StreamInfo &info = metadata->data.stream_info;
        if (!isPlausibleFormat(long(info.sample_rate), long(info.channels))) {
            reader->m_failed = true;
            return;
        }
        reader->m_haveInfo = true;
        const SampleDepth depth{int(std::max(info.bits_per_sample, 16u)), false};
        reader->m_format = PcmFormat{int(info.sample_rate), int(info.channels), depth};
        reader->m_frames = int64_t(std::min<FLAC__uint64>(info.total_samples, INT64_MAX));
    }

    // Lost sync, a bad header or a frame whose checksum fails: the audio is not what was written.
    static void onError(const FLAC__StreamDecoder *, FLAC__StreamDecoderErrorStatus, void *self)
    {
        static_cast<FlacReader *>(self)->m_failed = true;
    }

    FLAC__StreamDecoder *m_decoder = nullptr;
    bool m_haveInfo = false;
    bool m_failed = false;
    PcmFormat m_format;
    int64_t m_frames = 0;
    std::vector<int32_t> m_pending;
    size_t m_next = 0;
    std::vector<int32_t> m_wideOut;
    TpdfDither m_dither;
};

class FlacWriter : public AudioWriter {
public:
    explicit FlacWriter(const FlacParams &params) : m_params(params) {}
    ~FlacWriter() override
    {
        if (m_encoder)
            FLAC__stream_encoder_delete(m_encoder);
        for (FLAC__StreamMetadata *block : m_metadata)
            FLAC__metadata_object_delete(block);
        if (m_file)
            std::fclose(m_file);
    }

    AudioError create(const QString &path) override
    {
        m_file = std::fopen(QFile::encodeName(path).constData(), "w+be");
        return m_file ? AudioError::None : AudioError::CannotCreate;
    }

    AudioError begin(PcmFormat input) override
    {
        m_channels = input.channels;
        m_bits = flacBitsFor(input.depth);
        m_encoder = FLAC__stream_encoder_new();
        if (!m_encoder || input.channels < 1 || input.channels > 8 || input.rate <= 0)
            return AudioError::UnsupportedFormat;
        FLAC__stream_encoder_set_channels(m_encoder, unsigned(input.channels));
        FLAC__stream_encoder_set_bits_per_sample(m_encoder, unsigned(m_bits));
        FLAC__stream_encoder_set_sample_rate(m_encoder, unsigned(input.rate));
        FLAC__stream_encoder_set_compression_level(m_encoder, unsigned(std::clamp(m_params.level, 0, 8)));
        FLAC__stream_encoder_set_verify(m_encoder, m_params.verify);
        addMetadata();
        const auto status = FLAC__stream_encoder_init_stream(m_encoder, &FlacWriter::onWrite,
                                                             &FlacWriter::onSeek, &FlacWriter::onTell,
                                                             nullptr, this);
        if (status != FLAC__STREAM_ENCODER_INIT_STATUS_OK)
            return m_writeFailed ? AudioError::WriteFailed : AudioError::UnsupportedFormat;
        return AudioError::None;
    }

    AudioError write(const int16_t *samples, int frames) override
    {
        const int shift = m_bits - 16;
        m_wide.resize(size_t(frames) * size_t(m_channels));
        std::transform(samples, samples + m_wide.size(), m_wide.begin(),
                       [shift](int16_t sample) { return FLAC__int32(uint32_t(sample) << shift); });
        return encode(frames);
    }

    bool keepsDepth() const override { return true; }

    // Left-justified samples to the stream's depth, rounded to the nearest step.
    AudioError writeWide(const int32_t *samples, int frames) override
    {
        const int shift = 32 - m_bits;
        const int64_t half = shift > 0 ? int64_t(1) << (shift - 1) : 0;
        const int64_t top = (int64_t(1) << (m_bits - 1)) - 1;
        m_wide.resize(size_t(frames) * size_t(m_channels));
        std::transform(samples, samples + m_wide.size(), m_wide.begin(), [=](int32_t sample) {
            return FLAC__int32(std::min((int64_t(sample) + half) >> shift, top));
        });
        return encode(frames);
    }

    AudioError finish() override
    {
        // finish() writes the last frame and then the STREAMINFO with the length and MD5.
        const bool encoded = FLAC__stream_encoder_finish(m_encoder) && !m_writeFailed;
        const bool flushed = std::fflush(m_file) == 0;
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        return encoded && flushed && closed ? AudioError::None : AudioError::WriteFailed;
    }

private:
    AudioError encode(int frames)
    {
        if (!FLAC__stream_encoder_process_interleaved(m_encoder, m_wide.data(), unsigned(frames)))
            return AudioError::WriteFailed;
        return AudioError::None;
    }

    void addMetadata()
    {
        FLAC__StreamMetadata *comment = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
        FLAC__StreamMetadata *padding = FLAC__metadata_object_new(FLAC__METADATA_TYPE_PADDING);
        if (!comment || !padding) {
            FLAC__metadata_object_delete(comment);
            FLAC__metadata_object_delete(padding);
            return;
        }
        padding->length = kPaddingBytes;
        m_metadata = {comment, padding};
        FLAC__stream_encoder_set_metadata(m_encoder, m_metadata.data(), unsigned(m_metadata.size()));
    }

    static FLAC__StreamEncoderWriteStatus onWrite(const FLAC__StreamEncoder *, const FLAC__byte buffer[],
                                                  size_t bytes, uint32_t, uint32_t, void *self)
    {
        auto *writer = static_cast<FlacWriter *>(self);
        if (std::fwrite(buffer, 1, bytes, writer->m_file) != bytes) {
            writer->m_writeFailed = true;
            return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
        }
        return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
    }

    static FLAC__StreamEncoderSeekStatus onSeek(const FLAC__StreamEncoder *, FLAC__uint64 offset,
                                                void *self)
    {
        auto *writer = static_cast<FlacWriter *>(self);
        if (fseeko(writer->m_file, off_t(offset), SEEK_SET) != 0) {
            writer->m_writeFailed = true;
            return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
        }
        return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
    }

    static FLAC__StreamEncoderTellStatus onTell(const FLAC__StreamEncoder *, FLAC__uint64 *offset,
                                                void *self)
    {
        const off_t at = ftello(static_cast<FlacWriter *>(self)->m_file);
        if (at < 0)
            return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
        *offset = FLAC__uint64(at);
        return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
    }

    FlacParams m_params;
    FILE *m_file = nullptr;
    FLAC__StreamEncoder *m_encoder = nullptr;
    std::vector<FLAC__StreamMetadata *> m_metadata;
    std::vector<FLAC__int32> m_wide;
    int m_channels = 0;
    int m_bits = 16;
    bool m_writeFailed = false;
};

} // namespace

std::unique_ptr<AudioReader> makeFlacReader()
{
    return std::make_unique<FlacReader>();
}

std::unique_ptr<AudioWriter> makeFlacWriter(const FlacParams &params)
{
    return std::make_unique<FlacWriter>(params);
}
