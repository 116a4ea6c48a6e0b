#pragma once

#include "codec/audio_error.h"
#include "codec/sample_block.h"

#include <QString>
#include <memory>

class AudioFile;

// The VBR setters returned by AudioFile::GetMp3Settings; the values stay the file's state.
class Mp3Settings {
public:
    explicit Mp3Settings(AudioFile &file) : m_file(file) {}
    void VbrBitrate(int kbps);
    void VbrQuality(int quality);

private:
    AudioFile &m_file;
};

// Reads WAV, MP3, OGG, WMA, FLAC and Opus; writes the format of the created file's extension.
// One file is open at a time, for reading or for writing. Not thread-safe: one user at a time.
// Every failure sets ErrorCode (an AudioError value) and returns normally. Blocks read are
// interleaved 16-bit samples at the input's own rate and channels; a deeper source is dithered
// to 16 bits, or read at its own depth with readWideBlock. A writer takes the blocks' format
// from SetPcmFormat, or from the first block when SetPcmFormat was never called, and resamples
// and down-mixes to the output format. A WAV writer whose first block is wide keeps the block's
// depth; the others dither wide blocks to 16 bits. WMA is refused while WmaFormatEnabled is false.
class AudioFile {
public:
    AudioFile();
    ~AudioFile();
    AudioFile(const AudioFile &) = delete;
    AudioFile &operator=(const AudioFile &) = delete;

    // True when a reader exists for the file's extension (the file itself is not looked at).
    static bool readsExtensionOf(const QString &path);

    void OpenFile(const QString &path, int = 0, int = 1);
    // Finishes a written file (headers, flush); ErrorCode then tells whether the whole file
    // reached the disk. Harmless when nothing is open.
    void CloseFile();
    void CreateFile(const QString &path, int = 0); // ".mp3", ".wma", ".ogg", ".wav", ".flac", ".opus"
    void WriteBlock(SampleBlock &block);
    SampleBlock ReadBlock(int samples); // empty at the end (ErrorCode 0) or on bad data (non-zero)
    // The depth of the open input: deeper than 16 bits only for 24- and 32-bit and float PCM.
    SampleDepth sampleDepth() const;
    // As ReadBlock and WriteBlock, at the input's depth (a 16-bit input comes left-justified).
    WideSampleBlock readWideBlock(int samples);
    void writeWideBlock(WideSampleBlock &block);

    // Encoder settings for the next CreateFile; kept until set again. The Set...Format calls
    // return 0 when the encoder takes the format exactly, -1 otherwise (callers may ignore it).
    int SetMp3Format(int frequency, int bitrate, int channels); // constant bit rate, kbit/s
    void SetPcmFormat(int frequency, int channels);             // of the blocks to be written
    // Quality 0..1000 (Vorbis -0.1..1.0) wins over the bit rate unless it is -1; minimum and
    // maximum, when not 0, bound a managed bit rate.
    int SetOggFormat(int frequency, int channels, int bitrate, int minBitrate, int maxBitrate,
                     int16_t quality);
    int SetWmaFormat(int profile); // codes 1..33; another code makes CreateFile of ".wma" fail
    // FLAC: compression level 0..8 and verify. Written as 16-bit at the blocks' rate and channels.
    void SetFlacFormat(int level, bool verify);
    // Opus: kbit/s 6..510 and OpusParams::Mode; resampled to 48 kHz by the encoder. Values
    // outside the ranges are brought into them.
    void SetOpusFormat(int bitrate, int mode);
    Mp3Settings GetMp3Settings() { return Mp3Settings(*this); }
    bool IsMp3FormatSupported(int frequency, int bitrate, int channels);
    bool IsOggFormatSupported(int frequency, int channels, int bitrate, int minBitrate,
                              int maxBitrate);

    int64_t SampleCount() const; // frames of the open input, 0 when none is open
    int SamplesPerFrame() const; // block elements per frame of the input
    int ErrorCode() const;
    int Channels() const;
    int SampleRate() const;
    bool WmaFormatEnabled() const;
    void setWmaFormatEnabled(bool enabled);

    // The VBR settings are kept as state only: MP3 is written at the constant bit rate.
    int vbrBitrate() const;
    int vbrQuality() const;

private:
    friend class Mp3Settings;
    struct Private;
    std::unique_ptr<Private> d;
};
