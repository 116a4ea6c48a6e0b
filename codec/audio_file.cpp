#include "codec/audio_file.h"

#include "codec/audio_codec.h"
#include "codec/dither.h"
#include "codec/vector_state.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <type_traits>

bool isReadableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isReadable() && !info.isDir();
}

namespace {

// A block never holds more than this many frames, whatever the caller asks for.
constexpr int kMaxBlockFrames = 1 << 20;

enum class Kind { None, Wav, Mp3, Ogg, Wma, Flac, Opus };

Kind kindOf(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("wav"))
        return Kind::Wav;
    if (ext == QLatin1String("mp3"))
        return Kind::Mp3;
    if (ext == QLatin1String("ogg"))
        return Kind::Ogg;
    if (ext == QLatin1String("wma"))
        return Kind::Wma;
    if (ext == QLatin1String("flac"))
        return Kind::Flac;
    if (ext == QLatin1String("opus"))
        return Kind::Opus;
    return Kind::None;
}

std::unique_ptr<AudioReader> makeReader(Kind kind)
{
    switch (kind) {
    case Kind::Wav: return makeWavReader();
    case Kind::Mp3: return makeMp3Reader();
    case Kind::Ogg: return makeOggReader();
    case Kind::Wma: return makeWmaReader();
    case Kind::Flac: return makeFlacReader();
    case Kind::Opus: return makeOpusReader();
    case Kind::None: break;
    }
    return nullptr;
}

} // namespace

bool AudioFile::readsExtensionOf(const QString &path)
{
    return kindOf(path) != Kind::None;
}

struct AudioFile::Private {
    std::unique_ptr<AudioReader> reader;
    std::unique_ptr<AudioWriter> writer;
    bool writerBegun = false;
    bool writerWide = false; // the writer stores the depth of the wide blocks it was begun with
    TpdfDither dither;       // for wide blocks to a writer of 16 bits
    std::vector<int16_t> narrowed;
    PcmFormat input{0, 0};
    int64_t sampleCount = 0;
    std::optional<PcmFormat> pcmFormat;
    Mp3Params mp3;
    OggParams ogg;
    FlacParams flac;
    OpusParams opus;
    int wmaCode = 28;
    int vbrBitrate = 128;
    int vbrQuality = 5;
    AudioError error = AudioError::None;
    bool wmaEnabled = false;

    std::unique_ptr<AudioWriter> makeWriter(Kind kind);
    AudioError beginWriter(PcmFormat blocks);
    bool writerReady(bool emptyBlock, PcmFormat blocks);
    template <class Sample>
    int readInto(std::vector<Sample> &buffer, int samples);
    void closeReader();
    void finishWriter();
};

std::unique_ptr<AudioWriter> AudioFile::Private::makeWriter(Kind kind)
{
    switch (kind) {
    case Kind::Wav: return makeWavWriter();
    case Kind::Mp3: return makeMp3Writer(mp3);
    case Kind::Ogg: return makeOggWriter(ogg);
    case Kind::Flac: return makeFlacWriter(flac);
    case Kind::Opus: return makeOpusWriter(opus);
    case Kind::Wma:
        if (const WmaProfile *profile = wmaProfile(wmaCode))
            return makeWmaWriter(*profile);
        break;
    case Kind::None: break;
    }
    return nullptr;
}

AudioError AudioFile::Private::beginWriter(PcmFormat blocks)
{
    PcmFormat format = pcmFormat.value_or(blocks);
    format.depth = writer->keepsDepth() ? blocks.depth : SampleDepth{};
    const AudioError result = writer->begin(format);
    writerBegun = result == AudioError::None;
    writerWide = writerBegun && format.depth.isDeep();
    return result;
}

// Clears the error and begins the writer with the first block's format. False when there is
// nothing to write: no writer (the error set), an empty block, or a failed beginning.
bool AudioFile::Private::writerReady(bool emptyBlock, PcmFormat blocks)
{
    if (!writer) {
        error = AudioError::NothingOpen;
        return false;
    }
    error = AudioError::None;
    if (emptyBlock)
        return false;
    clearUpperVectorState();
    if (!writerBegun)
        error = beginWriter(blocks);
    return error == AudioError::None;
}

// Reads up to `samples` elements (whole frames) from the open reader, 16-bit or wide; the
// elements read, or -1 with the error set.
template <class Sample>
int AudioFile::Private::readInto(std::vector<Sample> &buffer, int samples)
{
    error = AudioError::None;
    clearUpperVectorState();
    const int ch = input.channels;
    const int frames = std::clamp(samples / ch, samples > 0 ? 1 : 0, kMaxBlockFrames);
    buffer.resize(size_t(frames) * size_t(ch));
    int got = 0;
    if constexpr (std::is_same_v<Sample, int16_t>)
        got = frames > 0 ? reader->read(buffer.data(), frames) : 0;
    else
        got = frames > 0 ? reader->readWide(buffer.data(), frames) : 0;
    if (got < 0) {
        error = AudioError::BadData;
        buffer.clear();
        return -1;
    }
    buffer.resize(size_t(got) * size_t(ch));
    return int(buffer.size());
}

void AudioFile::Private::closeReader()
{
    reader.reset();
    input = PcmFormat{0, 0};
    sampleCount = 0;
}

void AudioFile::Private::finishWriter()
{
    AudioError result = AudioError::None;
    if (!writerBegun)
        result = beginWriter(PcmFormat{});
    if (result == AudioError::None)
        result = writer->finish();
    writer.reset();
    writerBegun = false;
    writerWide = false;
    // The close gives its own result: it tells whether the end of the file reached the disk.
    error = result;
}

AudioFile::AudioFile() : d(std::make_unique<Private>()) {}

AudioFile::~AudioFile()
{
    CloseFile();
}

void AudioFile::OpenFile(const QString &path, int, int)
{
    CloseFile();
    const Kind kind = kindOf(path);
    if (kind == Kind::Wma && !d->wmaEnabled) {
        d->error = AudioError::WmaDisabled;
        return;
    }
    std::unique_ptr<AudioReader> reader = makeReader(kind);
    if (!reader) {
        d->error = QFileInfo::exists(path) ? AudioError::UnknownFormat : AudioError::CannotOpen;
        return;
    }
    d->error = reader->open(path);
    if (d->error == AudioError::None
        && !isPlausibleFormat(reader->format().rate, reader->format().channels))
        d->error = AudioError::UnknownFormat;
    if (d->error != AudioError::None)
        return;
    d->input = reader->format();
    d->sampleCount = std::max<int64_t>(0, reader->frames());
    d->reader = std::move(reader);
}

void AudioFile::CloseFile()
{
    if (d->reader)
        d->closeReader();
    if (d->writer)
        d->finishWriter();
}

void AudioFile::CreateFile(const QString &path, int)
{
    CloseFile();
    const Kind kind = kindOf(path);
    if (kind == Kind::Wma && !d->wmaEnabled) {
        d->error = AudioError::WmaDisabled;
        return;
    }
    if (kind == Kind::None) {
        d->error = AudioError::CannotCreate;
        return;
    }
    std::unique_ptr<AudioWriter> writer = d->makeWriter(kind);
    if (!writer) {
        d->error = AudioError::UnsupportedFormat;
        return;
    }
    d->error = writer->create(path);
    if (d->error == AudioError::None)
        d->writer = std::move(writer);
}

void AudioFile::WriteBlock(SampleBlock &block)
{
    if (!d->writerReady(block.isEmpty(), PcmFormat{block.sampleRate, block.channels}))
        return;
    const int channels = d->pcmFormat ? d->pcmFormat->channels : block.channels;
    if (channels > 0)
        d->error = d->writer->write(block.samples.data(), block.size() / channels);
}

void AudioFile::writeWideBlock(WideSampleBlock &block)
{
    if (!d->writerReady(block.isEmpty(), PcmFormat{block.sampleRate, block.channels, block.depth}))
        return;
    const int channels = d->pcmFormat ? d->pcmFormat->channels : block.channels;
    if (channels <= 0)
        return;
    if (d->writerWide) {
        d->error = d->writer->writeWide(block.samples.data(), block.size() / channels);
        return;
    }
    d->narrowed.resize(block.samples.size());
    d->dither.toInt16(block.samples.data(), d->narrowed.data(), block.samples.size());
    d->error = d->writer->write(d->narrowed.data(), block.size() / channels);
}

SampleBlock AudioFile::ReadBlock(int samples)
{
    if (!d->reader) {
        d->error = AudioError::NothingOpen;
        return SampleBlock();
    }
    std::vector<int16_t> buffer;
    d->readInto(buffer, samples);
    return SampleBlock(std::move(buffer), d->input.rate, d->input.channels);
}

WideSampleBlock AudioFile::readWideBlock(int samples)
{
    WideSampleBlock block;
    if (!d->reader) {
        d->error = AudioError::NothingOpen;
        return block;
    }
    block.sampleRate = d->input.rate;
    block.channels = d->input.channels;
    block.depth = d->input.depth;
    if (block.depth.isDeep()) {
        d->readInto(block.samples, samples);
        return block;
    }
    std::vector<int16_t> narrow;
    d->readInto(narrow, samples);
    block.samples.resize(narrow.size());
    std::transform(narrow.begin(), narrow.end(), block.samples.begin(),
                   [](int16_t sample) { return int32_t(sample) * 65536; });
    return block;
}

int AudioFile::SetMp3Format(int frequency, int bitrate, int channels)
{
    d->mp3 = Mp3Params{frequency, bitrate, channels};
    return lameAccepts(d->mp3) ? 0 : -1;
}

void AudioFile::SetPcmFormat(int frequency, int channels)
{
    if (frequency > 0 && channels > 0)
        d->pcmFormat = PcmFormat{frequency, channels};
}

int AudioFile::SetOggFormat(int frequency, int channels, int bitrate, int minBitrate,
                            int maxBitrate, int16_t quality)
{
    d->ogg = OggParams{frequency, channels, bitrate, minBitrate, maxBitrate, quality};
    return vorbisAccepts(d->ogg) ? 0 : -1;
}

int AudioFile::SetWmaFormat(int profile)
{
    // An unknown code is kept so that CreateFile reports it instead of using another profile.
    d->wmaCode = profile;
    return wmaProfile(profile) ? 0 : -1;
}

void AudioFile::SetFlacFormat(int level, bool verify)
{
    d->flac = FlacParams{std::clamp(level, 0, 8), verify};
}

void AudioFile::SetOpusFormat(int bitrate, int mode)
{
    d->opus = OpusParams{std::clamp(bitrate, kMinOpusBitrate, kMaxOpusBitrate),
                         std::clamp(mode, int(OpusParams::Vbr), int(OpusParams::Cbr))};
}

bool AudioFile::IsMp3FormatSupported(int frequency, int bitrate, int channels)
{
    return lameAccepts(Mp3Params{frequency, bitrate, channels});
}

bool AudioFile::IsOggFormatSupported(int frequency, int channels, int bitrate, int minBitrate,
                                     int maxBitrate)
{
    return vorbisAccepts(OggParams{frequency, channels, bitrate, minBitrate, maxBitrate, -1});
}

int64_t AudioFile::SampleCount() const { return d->sampleCount; }
SampleDepth AudioFile::sampleDepth() const { return d->input.depth; }
int AudioFile::SamplesPerFrame() const { return d->input.channels; }
int AudioFile::ErrorCode() const { return int(d->error); }
int AudioFile::Channels() const { return d->input.channels; }
int AudioFile::SampleRate() const { return d->input.rate; }
bool AudioFile::WmaFormatEnabled() const { return d->wmaEnabled; }
void AudioFile::setWmaFormatEnabled(bool enabled) { d->wmaEnabled = enabled; }
int AudioFile::vbrBitrate() const { return d->vbrBitrate; }
int AudioFile::vbrQuality() const { return d->vbrQuality; }

void Mp3Settings::VbrBitrate(int kbps) { m_file.d->vbrBitrate = kbps; }
void Mp3Settings::VbrQuality(int quality) { m_file.d->vbrQuality = quality; }
