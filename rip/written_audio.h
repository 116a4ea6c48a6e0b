#pragma once

#include "tags/tag_set.h"

#include <QString>
#include <cstdint>
#include <optional>

class IniFile;

// What a ripped track's file holds, beside what was read from the disc: the format the
// encoder was set to, the gain the normalizer applied and, for a lossless format, the CRC-32
// of the audio as it reads back from the file.
struct WrittenAudio {
    QString format;                // "WAV, 16-bit PCM, 44100 Hz, stereo"
    bool lossless = false;         // the file gives back exactly the samples handed to it
    std::optional<uint32_t> crc32; // lossless only: of the samples as little-endian bytes
    bool normalizeOn = false;      // "normalize" was on for this track
    int peakBefore = 0;            // of what was read, 0 to 32768
    int ratio = 0;                 // the peak's target in percent, 0 to 100
    // The ReplayGain tags written: none, the track's, or the track's and the album's. The
    // lossless alternative to normalization: the audio stays as it is.
    bool trackGainOn = false;
    bool albumGainOn = false;
    std::optional<LoudnessValues> trackGain;
    std::optional<LoudnessValues> albumGain;

    // A gain was applied: normalization on and a track that is not silent.
    bool normalized() const { return normalizeOn && peakBefore > 0; }
    // The gain in decibels; 0 when not normalized.
    double gainDb() const;
    // "Normalized: gain +8.86 dB (peak 35.3 % to 98 %)", "Not normalized" or, for a silent
    // track, "Not normalized: the track is silent".
    QString normalizationText() const;
    // "ReplayGain: none", "ReplayGain: track -6.52 dB, peak 0.988312" and, for an album,
    // "; album -7.01 dB, peak 0.999969" after it; "not measured" for silence.
    QString replayGainText() const;
};

// A rip's output format, by the file's extension, as the settings set it up.
// The format's name and the settings the encoder was given ("MP3, 128 kbit/s, 44100 Hz,
// stereo"); `lossless` set from the format.
WrittenAudio writtenFormat(const QString &extension, const IniFile &ini);

// A file of this extension holds its samples exactly (".wav", ".flac").
bool isLosslessExtension(const QString &extension);
