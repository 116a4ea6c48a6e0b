#pragma once

#include "lookup/accuraterip_client.h"
#include "disc/accuraterip_disc_id.h"
#include "disc/cd_disc.h"
#include "disc/track_checksums.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One ripped track as the log and the cue sheet tell of it.
struct RippedTrack {
    int number = 0;       // on the disc, 1-based
    QString path;         // the written file
    QString title;
    TrackChecksums sums;
    qint64 lostSamples = 0; // stereo frames the drive could not give
    AccurateRipVerdict verdict;
};

// Everything a rip log states: how the disc was read, what it is and what came of each track.
struct RipReport {
    QDateTime date;
    QString driveName;
    QString drivePath;
    int grabMode = 0;
    int retries = 0;
    int errorAction = 0;
    int speed = 0;
    int readOffset = 0;
    CdToc toc;
    QString freedbId;
    AccurateRipDiscId accurateRipId;
    QString musicBrainzId;
    AccurateRipAnswer::Status accurateRipStatus = AccurateRipAnswer::NotChecked;
    QString artist;
    QString album;
    QString namesSource; // empty: as typed in the window
    QList<RippedTrack> tracks;
};

// "All tracks accurately ripped", "N of M tracks accurate" or "not checked".
QString ripSummary(const RipReport &report);
// The tracks the AccurateRip database proved accurate; -1 when it was not asked.
int accurateTrackCount(const RipReport &report);

// A name from outside (a server, a disc, an edit) as the log, the cue sheet and a terminal show
// it: on one line, whatever it holds. Control characters U+0000 to U+001F and U+007F become
// their visible pictures (a line feed shows as U+240A), the C1 controls and the line and
// paragraph separators U+FFFD; nothing else changes. Tags keep the name as it came.
QString nameOnOneLine(const QString &name);

// "mm:ss.ff" of a sector count as a CD player shows it; a cue sheet wants ':' before the frames.
QString sectorTime(int sectors, QLatin1Char frameSeparator = QLatin1Char('.'));

// The log's text: plain UTF-8 a person can read; its last line is "SHA-256: " with the hash of
// the UTF-8 text above the summary line, so that a later edit shows.
QString ripLogText(const RipReport &report);
