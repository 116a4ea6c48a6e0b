#pragma once

#include <cstdint>

class AudioFile;
class IniFile;

// The MP3, OGG, FLAC and Opus encoder settings as every encoder set-up hands them on (rip, conversion
// commands, harvelo-cli), read from the settings file at the moment of use.
struct Mp3EncoderSettings {
    int frequency, bitrate, channels, vbrBitrate, vbrQuality;
    static Mp3EncoderSettings read(const IniFile &ini);
};

struct OggEncoderSettings {
    int frequency, channels, bitrate;
    int minBitrate, maxBitrate; // 0 and 0 while "vbr enabled" is off, whatever the file holds
    int16_t quality;            // -1 while "quality enabled" is off
    static OggEncoderSettings read(const IniFile &ini);
};

struct FlacEncoderSettings {
    int level;
    bool verify;
    static FlacEncoderSettings read(const IniFile &ini);
};

struct OpusEncoderSettings {
    int bitrate, mode;
    static OpusEncoderSettings read(const IniFile &ini);
};

// Hands the FLAC and Opus settings to `file` for its next ".flac" or ".opus" output. Neither
// can refuse a format: the values are brought into their ranges.
void setFlacAndOpusFormats(AudioFile &file, const IniFile &ini);
