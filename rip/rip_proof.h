#pragma once

#include "rip/rip_log.h"

#include <QStringList>

class AudioGrabber;
class IniFile;

// Collects what the rip job proves of each track while it runs; at the end looks the disc up
// in the AccurateRip database and writes <album>.log and <album>.cue into the folder of the
// last ripped track. Lives on the job's thread.
class RipProof {
public:
    // Reads the drive, the disc's table of contents and IDs: call it once the TOC is read.
    RipProof(const AudioGrabber &grabber, const QString &artist, const QString &album);

    // Right after the track's file is closed. `row` is its place on the disc (1 for the first
    // track, whatever number the disc gives it); `expectedFrames` is its length on the disc;
    // `written` what the file holds.
    void addTrack(int row, const QString &path, const QString &title,
                  const TrackChecksums &sums, qint64 expectedFrames, qint64 lostSamples,
                  const WrittenAudio &written = {},
                  std::optional<uint32_t> testCrc32 = std::nullopt);
    // A ticked track that got no file.
    void addUnripped(int row, const QString &title, RipTrackResult::Outcome outcome);
    // The album's ReplayGain, known once every track is written.
    void setAlbumGain(const std::optional<LoudnessValues> &values);
    // Stop ended the rip.
    void setStopped() { m_report.stopped = true; }
    // True when a track lost samples or is shorter than on the disc.
    bool anyTrackIncomplete() const;

    // Nothing when "write log" is not "yes" or no track was ripped. Returns the files written;
    // those that could not be written are added to `failed`.
    QStringList write(const IniFile &ini, QStringList *failed = nullptr);
    const RipReport &report() const { return m_report; }

private:
    void judge(const IniFile &ini);
    int numberOf(int row) const;
    QString freePath(const QString &directory, const QString &base, int attempt, const QString &ext) const;

    RipReport m_report;
    // The disc's codes are asked of the drive only when a cue sheet is written.
    const AudioGrabber &m_grabber;
    QList<qint64> m_expectedFrames;
};

// The name "<album>" passed through the naming rule's replacements, as the files' names are.
QString proofBaseName(const QString &album, const IniFile &ini);
