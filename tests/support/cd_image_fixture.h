#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// CUE/BIN audio CD images for tests, generated at run time. Every audio track holds a
// deterministic, track-dependent pattern (cdImageSamples) so a rip can be checked bit-exactly.

struct CdImageTrack {
    int64_t frames = 0; // stereo frames, rounded up to whole 588-frame sectors
    QString title = {}; // CUE TITLE, read as CD-Text
    bool data = false;  // a MODE1/2352 data track
};

struct CdImageOptions {
    QString cueName = QStringLiteral("disc.cue");
    QString binName = {};      // the FILE line's name; default: the sheet's name with .bin
    bool sparse = false;       // only the size of the data (for long tables of contents)
    int firstPregapSectors = 0; // track 1 starts this many sectors into the data
};

// Writes the image into `dir` and returns the sheet's path; fails the test when it cannot.
QString makeCdImage(const QString &dir, const QList<CdImageTrack> &tracks,
                    const QString &artist = {}, const QString &album = {},
                    const CdImageOptions &options = {});

// The frame count of a track of about `ms` milliseconds, in whole sectors.
int64_t cdFramesForMs(int ms);

// The interleaved samples a reader must return for `frames` frames of a 1-based track.
std::vector<int16_t> cdImageSamples(int track, int64_t firstFrame, int64_t frames);

// An audio file that a sheet names, of `sectors` sectors: "wav", or raw samples "little" or
// "big" endian. Sparse (silent) unless `track` is set: then that track's pattern after
// `leadIn` silent sectors. The WAV has a LIST chunk of odd size ahead of its data, as tagging
// rippers write it.
void writeSheetAudioFile(const QString &path, const QString &kind, int sectors, int track = 0,
                         int leadIn = 0);

class AudioGrabber;
// The grabber with `image` as its last drive, TOC read.
void loadImage(AudioGrabber &grabber, const QString &image);
// What `work` writes to the process's stderr (file descriptor 2).
QByteArray stderrOf(const std::function<void()> &work);

// HARVELO_CD_DEVICES for this process: the drive list after the machine's real drives.
void setCdDevices(const QStringList &sources);

// A simulated drive over `image` (a PLEXTOR "DVDR   PX-716A" reading `offset` frames early)
// with the [faults] lines given, written as `name` beside the image; returns its path.
QString makeDriveFile(const QString &image, const QString &faults = {}, int offset = 0,
                      const QString &name = QStringLiteral("disc.drive"));
