#pragma once

#include <cstdint>

class IniFile;

// The MP3 and OGG encoder settings as every encoder set-up hands them on (rip, conversion
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
