#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Writes CUE/BIN images of 16-bit stereo 44.1 kHz audio CDs: the sheet names the .bin, the
// disc's PERFORMER/TITLE and each track's TITLE (libcdio reads these as CD-Text).
namespace cdimage {

inline constexpr int kFramesPerSector = 588;
inline constexpr int kBytesPerSector = 2352;

struct Track {
    int64_t frames = 0;      // rounded up to whole sectors
    QString title;
    bool data = false;       // a MODE1/2352 data track
    int pregapSectors = 0;   // INDEX 00 before INDEX 01, stored in the file
};

struct Disc {
    QString artist;
    QString album;
    std::vector<Track> tracks;
    QString binFileName;     // as the FILE line names it; default: the sheet's name with .bin
    bool sparse = false;     // no audio written, only the file size (for large tables of contents)
};

// Fills one stereo frame of a 1-based track: samples[0] left, samples[1] right.
using FrameSource = std::function<void(int track, int64_t frame, int16_t *samples)>;

int64_t sectorsFor(int64_t frames);
// A deterministic, track-dependent pattern with no symmetry in byte order or channel.
int16_t patternSample(int track, int64_t frame, int channel);
void patternFrame(int track, int64_t frame, int16_t *samples);

// Writes the sheet and its .bin (in the sheet's directory). False with a reason on failure.
bool writeImage(const QString &cuePath, const Disc &disc, const FrameSource &source,
                QString *error);

} // namespace cdimage
