#pragma once

#include "codec/loudness_meter.h"

#include <QString>
#include <QStringList>
#include <mutex>
#include <vector>

// A file of this name has a place for ReplayGain: every format the program writes but WAV.
bool holdsReplayGain(const QString &path);

// Tags a file no one else reads yet (a PartFile) with a track's values, the tags alone; its
// audio must decode as before. True when done, or when the format has no place for them (WAV).
bool tagTrackGain(const QString &path, const std::optional<LoudnessValues> &track);

// The files of an album with the loudness of each, collected from any thread as they are
// written. Once the last one is written the album's values come from their meters without
// reading the audio again, and go into the files' tags.
class AlbumGain {
public:
    void keep(const QString &path, LoudnessMeter &&track);
    std::optional<LoudnessValues> values() const;
    // Writes REPLAYGAIN_ALBUM_* (R128_ALBUM_GAIN in Opus) into every file kept, tags only:
    // each goes through a copy that replaces it only when its audio decodes as before. The
    // files left as they were, with what went wrong.
    struct Failure {
        QString path;
        QString message;
    };
    QList<Failure> tagFiles() const;

private:
    mutable std::mutex m_mutex;
    std::vector<LoudnessMeter> m_tracks;
    QStringList m_paths;
};
