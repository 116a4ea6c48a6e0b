#pragma once

#include "lookup/accuraterip_client.h"
#include "disc/accuraterip_disc_id.h"
#include "disc/cd_disc.h"
#include "disc/track_checksums.h"
#include "rip/rip_track_result.h"
#include "rip/written_audio.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One ripped track as the log and the cue sheet tell of it.
struct RippedTrack {
    int number = 0;       // on the disc, 1-based
    QString path;         // the written file
    QString title;
    TrackChecksums sums;    // of what was read
    qint64 lostSamples = 0; // stereo frames the drive could not give
    AccurateRipVerdict verdict;
    WrittenAudio written;   // what the file holds
    std::optional<uint32_t> testCrc32 = std::nullopt; // under test and copy: the first read's
};

// A ticked track that has no file: skipped, stopped or failed.
struct UnrippedTrack {
    int number = 0; // on the disc
    QString title;
    RipTrackResult::Outcome outcome = RipTrackResult::Outcome::Skipped;
};

// Everything a rip log states: how the disc was read, what it is and what came of each track.
struct RipReport {
    QDateTime date;
    QString driveName;
    QString driveVendor; // empty for an image
    QString driveModel;
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
    QStringList onlineAnswers; // what the on-line servers that named nothing answered
    QList<RippedTrack> tracks;
    QList<UnrippedTrack> unripped;
    bool stopped = false; // Stop ended the rip
};

// What AccurateRip proved and what the files hold, in one line: "All tracks accurately
// ripped; files normalized, not bit-identical to the disc", "1 of 3 tracks accurate; files
// bit-identical to the audio read", "AccurateRip not checked; files in a lossy format".
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
// A checksum as the log shows it: 8 upper-case hex digits.
QString hex8(uint32_t value);

// The log's text: plain UTF-8 a person can read. Its line before the last is "Summary: " and
// the summary; its last is "SHA-256: " with the hash of all UTF-8 text above it, so that a
// later edit shows.
QString ripLogText(const RipReport &report);
