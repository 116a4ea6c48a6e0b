#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A picture to embed: the bytes of a JPEG or PNG as they came.
struct TagPicture {
    QByteArray bytes;
    QString mimeType; // "image/jpeg" or "image/png"
    bool isEmpty() const { return bytes.isEmpty(); }
};

// ReplayGain 2.0 values: the gain to -18 LUFS in dB and the sample peak as a ratio of full
// scale. Opus takes the loudness alone (R128 gains to -23 LUFS).
struct LoudnessValues {
    double loudness = 0; // LUFS, integrated
    double peak = 0;     // 1.0 is full scale
    double gainDb() const { return -18.0 - loudness; }
};

// Everything the tags of one file say, independent of the tag format: each writer (tag_writers.h)
// puts these fields under its format's usual names. Empty texts, zero numbers and an empty
// picture are left out, so the file keeps what it holds there.
struct TagSet {
    // The fields every format has, written only where `fields` has their bit.
    enum Field : unsigned { Title = 1, Album = 2, Artist = 4, Genre = 8, Track = 16, AllFields = 31 };
    unsigned fields = AllFields;

    QString title;
    QString artist; // the track's performer
    QString album;
    QString genre;  // as text, whether or not the ID3v1 list has it
    int track = 0;

    QString albumArtist;
    QString date; // "1999", "1999-09" or "1999-09-13"
    int trackTotal = 0;
    int disc = 0;
    int discTotal = 0;
    // MusicBrainz: the release, its group, the recording and the release's track entry.
    QString releaseId;
    QString releaseGroupId;
    QString recordingId;
    QString releaseTrackId;
    TagPicture frontCover;
    // Written only when measured; the other values of the file stay.
    std::optional<LoudnessValues> trackGain;
    std::optional<LoudnessValues> albumGain;

    bool has(Field field) const { return fields & field; }
    QString year() const { return date.left(4); }
};
