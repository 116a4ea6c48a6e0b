#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What the MusicBrainz web service (ws/2, JSON) says of the releases that hold a disc: the
// parts of its release, medium and track objects that name a disc.
struct MusicBrainzTrack {
    QString id;
    QString title;  // the track's own, which may differ from its recording's
    QString artist; // the track's artist credit, joined with its join phrases
    QString recordingId;
    qint64 lengthMs = -1; // the track's length, else its recording's; -1 when neither is known
};

struct MusicBrainzMedium {
    int position = 0; // 1-based place in the release
    QString format;   // "CD", "Enhanced CD"...
    int trackCount = 0;
    QStringList discIds; // the disc IDs attached to this medium
    QList<MusicBrainzTrack> tracks;
};

struct MusicBrainzRelease {
    QString id;
    QString title;
    QString artist; // the release's artist credit, joined
    QString date;
    QString country;
    QString barcode;
    QString releaseGroupId;
    QList<MusicBrainzMedium> media;
};

// The releases of a reply to GET /ws/2/discid/<id>?fmt=json: the disc object of a direct
// lookup, or the release list of a lookup by TOC. An empty list for a reply that names no
// release (a CD stub); nullopt for bytes that are not such a reply. Bounded: at most
// kMaxReleases releases of kMaxMedia media of kMaxTracks tracks are read.
std::optional<QList<MusicBrainzRelease>> parseMusicBrainzDiscReply(const QByteArray &json);

inline constexpr int kMaxReleases = 100;
inline constexpr int kMaxMedia = 100;
inline constexpr int kMaxTracks = 99;
