#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// MusicBrainz ws/2 JSON replies for tests, in the shapes the MusicBrainz server's own web
// service tests document (metabrainz/musicbrainz-server,
// t/lib/t/MusicBrainz/Server/Controller/WS/2/JSON/LookupDiscID.pm: the disc object of a direct
// disc ID lookup and the release list of a lookup by TOC; LookupRelease.pm: releases with
// artist credits, release groups, media, tracks and recordings as inc=recordings+artist-credits+
// release-groups gives them). Every field those shapes hold is written, null where unknown.

struct MbTrack {
    QString title;
    qint64 lengthMs = 0;
    QString artist = {};          // the track's artist credit; empty: the release's
    QString recordingTitle = {};  // empty: the track's title
};

struct MbMedium {
    QList<MbTrack> tracks;
    QStringList discIds = {}; // disc IDs attached to this medium
    QString format = QStringLiteral("CD");
    QString title = {};
};

struct MbRelease {
    QString key;    // makes the release's, group's, tracks' and recordings' MBIDs
    QString title;
    QString artist; // may hold several credits joined by " & " or " feat. "
    QString date = {};
    QString country = {};
    QString barcode = {};
    QList<MbMedium> media = {};

    QString id() const;
    QString releaseGroupId() const;
    // The MBIDs of medium `medium`'s (0-based) track `track` (0-based) and of its recording.
    QString trackId(int medium, int track) const;
    QString recordingId(int medium, int track) const;
};

// GET /ws/2/discid/<id>: the disc with its offsets and every release that holds it.
QByteArray mbDiscReply(const QString &discId, const QList<int> &offsets, int sectors,
                       const QList<MbRelease> &releases);
// GET /ws/2/discid/<id>?toc=...: the releases found by the TOC.
QByteArray mbTocReply(const QList<MbRelease> &releases);

// Pictures a cover-art server sends, made at run time.
QByteArray coverJpeg(int width, int height);
QByteArray coverPng(int width, int height);
// A PNG whose header announces `width` x `height` pixels but whose data is a few bytes.
QByteArray pngHeaderClaiming(int width, int height);
