#pragma once

#include "lookup/disc_names.h"
#include "lookup/musicbrainz_reply.h"

#include <QList>
#include <QString>

// One release that holds the disc, named by the medium that is the disc, with what a chooser
// shows of it.
struct ReleaseCandidate {
    DiscNames names; // the medium's tracks, the release's artist, title and date
    QString country;
    QString format;
    QString barcode;
    // How far the medium's track lengths lie from the disc's, summed over the tracks.
    qint64 lengthDistanceMs = 0;
};

// The disc as MusicBrainz knows it: its disc ID and its tracks' lengths.
struct MusicBrainzDisc {
    QString id;
    QList<qint64> trackLengthsMs;
};

// One candidate per release that holds the disc. The medium is the one whose disc IDs hold
// the disc's; without one (a lookup by TOC), the medium of the disc's track count whose
// lengths lie closest; a release with neither is left out.
QList<ReleaseCandidate> discCandidates(const QList<MusicBrainzRelease> &releases,
                                       const MusicBrainzDisc &disc);

// The release a careful ripper takes: the one whose barcode is the disc's catalog number (MCN),
// else the one whose track lengths lie closest to the disc's; ties go to the earliest date,
// then to the server's order. -1 for no candidates.
qsizetype automaticChoice(const QList<ReleaseCandidate> &candidates, const QString &catalog);
