#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A front cover as a server sent it: the bytes of a JPEG or PNG that decoded whole.
struct CoverArt {
    QByteArray bytes;
    QString mimeType; // "image/jpeg" or "image/png"

    bool isEmpty() const { return bytes.isEmpty(); }
    // "jpg" or "png"
    QString suffix() const;
};

// What MusicBrainz calls the disc and its tracks; empty for other sources.
struct MusicBrainzIds {
    QString releaseId;
    QString releaseGroupId;
    QStringList recordingIds; // index 0 is track 1
    QStringList trackIds;     // the release's own track entries
};

// The names a lookup found for a disc.
struct DiscNames {
    QString artist; // the disc's (album) artist
    QString album;
    QString genre;
    QStringList titles;       // index 0 is track 1
    QStringList trackArtists; // index 0 is track 1; empty where the disc's artist plays
    QString date;             // "1999", "1999-09" or "1999-09-13"; empty when unknown
    int discNumber = 0;       // of discTotal; 0 when unknown
    int discTotal = 0;
    int trackTotal = 0;       // tracks of the disc as the source counts them; 0 when unknown
    MusicBrainzIds musicBrainz;
    CoverArt cover;

    // True when not one name is given.
    bool isEmpty() const;
    QString year() const { return date.left(4); }
    // The artist of track `index` (0-based) when it is not the disc's artist; else empty.
    QString ownArtist(qsizetype index) const;
    // The title as the track list shows it: "Artist / Title" for a track with an artist of its
    // own, as various-artists entries have always been written.
    QString shownTitle(qsizetype index) const;
    // These names, with every blank one taken from `other`.
    DiscNames filledFrom(const DiscNames &other) const;

    // No real name comes near this; longer ones come from broken or hostile sources and would
    // only burden the window and the file names.
    static constexpr int kMaxNameLength = 1024;
    // These names, each cut to kMaxNameLength characters (never inside a character).
    DiscNames shortened() const;
};

// `text` when it is a date as the sources write them ("1999", "1999-09", "1999-09-13"); else
// empty.
QString releaseDate(const QString &text);

// "Various / Album" entries name each track "Artist / Title": the artist of such a disc starts
// with "Various".
bool isVariousArtists(const QString &artist);

// A shown track name split back into its artist and title: "Artist / Title" splits at the
// first " / "; a name without one is all title.
struct ShownTitle {
    QString artist;
    QString title;
};
ShownTitle splitShownTitle(const QString &shown);
