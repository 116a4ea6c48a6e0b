#include "codec/audio_file.h"

#include "codec/audio_codec.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

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
    const AudioError result = writer->begin(pcmFormat.value_or(blocks));
    writerBegun = result == AudioError::None;
    return result;
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
    if (!d->writer) {
        d->error = AudioError::NothingOpen;
        return;
    }
    d->error = AudioError::None;
    if (block.isEmpty())
        return;
    if (!d->writerBegun) {
        d->error = d->beginWriter(PcmFormat{block.sampleRate, block.channels});
        if (d->error != AudioError::None)
            return;
    }
    const int channels = d->pcmFormat ? d->pcmFormat->channels : block.channels;
    if (channels <= 0)
        return;
    d->error = d->writer->write(block.samples.data(), block.size() / channels);
}

SampleBlock AudioFile::ReadBlock(int samples)
{
    if (!d->reader) {
        d->error = AudioError::NothingOpen;
        return SampleBlock();
    }
    d->error = AudioError::None;
    const int channels = d->input.channels;
    const int frames = std::clamp(samples / channels, samples > 0 ? 1 : 0, kMaxBlockFrames);
    std::vector<int16_t> buffer(size_t(frames) * size_t(channels));
    const int got = frames > 0 ? d->reader->read(buffer.data(), frames) : 0;
    if (got < 0) {
        d->error = AudioError::BadData;
        return SampleBlock({}, d->input.rate, channels);
    }
    buffer.resize(size_t(got) * size_t(channels));
    return SampleBlock(std::move(buffer), d->input.rate, channels);
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
