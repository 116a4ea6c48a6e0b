#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

// What became of one ticked row of a rip, kept by the job for its end (the read-loss message)
// and for whatever reports on the rip afterwards.
struct RipTrackResult {
    enum class Outcome {
        Saved,   // the file is in place, tagged (possibly short after a read or write error)
        Skipped, // overwrite refused, file not created or track not opened
        Failed,  // a write, the close or the tagging failed: nothing replaced the final name
        Stopped, // the user stopped the job inside this track: nothing replaced the final name
    };
    int track = 0;
    QString title;
    QString path; // the final path
    Outcome outcome = Outcome::Skipped;
    qint64 trackFrames = 0;
    // Frames of the track the file lacks or holds only as the error action made them: sectors
    // the drive could not read (cut, skipped, silenced or guessed) and, after a read error
    // answered No, the rest of the track.
    qint64 lostFrames = 0;
    int errorAction = 2; // the grabber's error action while the track was read
    std::optional<uint32_t> testCrc32 = std::nullopt; // of the test read, under test and copy
    uint32_t copyCrc32 = 0;            // of the read that was written
    bool suspicious() const { return testCrc32 && *testCrc32 != copyCrc32; }
};

// The message listing every saved track that lost audio, with how much and what became of
// it; empty when nothing was lost.
QString readLossReport(const QList<RipTrackResult> &results);
// The message listing every saved track whose test and copy reads differ; empty when none do.
QString testAndCopyReport(const QList<RipTrackResult> &results);
