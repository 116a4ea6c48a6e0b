#pragma once

#include "codec/audio_error.h"
#include "codec/sample_block.h"

#include <QString>
#include <cstdint>
#include <memory>

// The pieces behind AudioFile: one reader and one writer class per library, each in its own
// .cpp so that codec headers stay out of everything else.

struct PcmFormat {
    PcmFormat(int r = 44100, int ch = 2, SampleDepth d = {}) : rate(r), channels(ch), depth(d) {}
    int rate;
    int channels;
    SampleDepth depth; // of the source (a reader) or of the wide blocks to come (a writer)
    bool operator==(const PcmFormat &) const = default;
};

// Header values beyond these are not audio we can sensibly convert; a reader that met them
// would hand absurd sizes (or, past 2^31 Hz, negative rates) to everything downstream.
constexpr long kMinSampleRate = 1000;
constexpr long kMaxSampleRate = 384000;
constexpr long kMaxInputChannels = 8;

// What every reader checks before its library sees the path: libraries differ on a folder
// (some open it and fail late) and on a file they cannot read.
bool isReadableFile(const QString &path);

constexpr bool isPlausibleFormat(long rate, long channels)
{
    return rate >= kMinSampleRate && rate <= kMaxSampleRate && channels >= 1
        && channels <= kMaxInputChannels;
}

class AudioReader {
public:
    virtual ~AudioReader() = default;
    virtual AudioError open(const QString &path) = 0;
    virtual PcmFormat format() const = 0;
    // Length in frames, as exact as the format allows.
    virtual int64_t frames() const = 0;
    // Reads up to `frames` interleaved frames; returns the count, 0 at the end, -1 on bad data.
    // A deep source is dithered to 16 bits (TpdfDither).
    virtual int read(int16_t *out, int frames) = 0;
    // Moves to a frame, for readers that can (FLAC); false when the reader cannot go there.
    virtual bool seek(int64_t) { return false; }
    // As read(), at the full depth of a deep source (format().depth), left-justified in 32
    // bits. Only deep readers implement it.
    virtual int readWide(int32_t *, int) { return -1; }
};

// create() opens the output so that a bad path fails at once; begin() learns the format of the
// blocks; finish() flushes the encoder, completes headers and closes the file.
// A writer that can store samples deeper than 16 bits says so with keepsDepth(); begin() then
// gets the depth of the wide blocks to come (16 when they are 16-bit blocks), and writeWide()
// takes them. write() stays valid at every depth. The others only ever see 16-bit samples.
class AudioWriter {
public:
    virtual ~AudioWriter() = default;
    virtual AudioError create(const QString &path) = 0;
    virtual AudioError begin(PcmFormat input) = 0;
    virtual AudioError write(const int16_t *samples, int frames) = 0;
    virtual AudioError finish() = 0;
    virtual bool keepsDepth() const { return false; }
    virtual AudioError writeWide(const int32_t *, int) { return AudioError::UnsupportedFormat; }
};

struct Mp3Params {
    int frequency = 44100;
    int bitrate = 128; // kbit/s, constant
    int channels = 2;
};

struct OggParams {
    int frequency = 44100;
    int channels = 2;
    int bitrate = 128;    // kbit/s, average
    int minBitrate = 0;   // kbit/s; 0: no lower bound
    int maxBitrate = 0;   // kbit/s; 0: no upper bound
    int quality = -1;     // 0..1000, -1: bit rate mode
};

struct FlacParams {
    int level = 5;      // compression 0..8, as the flac tool's -0..-8
    bool verify = false; // decode every frame again while encoding and compare
};

constexpr int kMinOpusBitrate = 6;   // kbit/s
constexpr int kMaxOpusBitrate = 510; // kbit/s

struct OpusParams {
    enum Mode { Vbr = 0, Cvbr = 1, Cbr = 2 };
    int bitrate = 160; // kbit/s, kMinOpusBitrate..kMaxOpusBitrate
    int mode = Vbr;
};

struct WmaProfile {
    int code;
    int rate;
    int channels;
    int kbps;        // as the profile is named
    int encodeKbps;  // what the encoder is given: it cannot go below 24 kbit/s
};

// The profile of a code 1..33, or nullptr.
const WmaProfile *wmaProfile(int code);

std::unique_ptr<AudioReader> makeWavReader();
std::unique_ptr<AudioReader> makeMp3Reader();
std::unique_ptr<AudioReader> makeOggReader();
std::unique_ptr<AudioReader> makeWmaReader();
std::unique_ptr<AudioReader> makeFlacReader();
std::unique_ptr<AudioReader> makeOpusReader();

std::unique_ptr<AudioWriter> makeWavWriter();
std::unique_ptr<AudioWriter> makeMp3Writer(const Mp3Params &params);
std::unique_ptr<AudioWriter> makeOggWriter(const OggParams &params);
std::unique_ptr<AudioWriter> makeWmaWriter(const WmaProfile &profile);
std::unique_ptr<AudioWriter> makeFlacWriter(const FlacParams &params);
std::unique_ptr<AudioWriter> makeOpusWriter(const OpusParams &params);

// Ask the encoders whether they produce exactly this format.
bool lameAccepts(const Mp3Params &params);
bool vorbisAccepts(const OggParams &params);
