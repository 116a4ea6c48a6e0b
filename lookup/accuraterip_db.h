#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

struct AccurateRipDiscId;
struct TrackChecksums;

// One pressing's answer in a dBAR file: a 13-byte head (track count, the two disc sums and
// the freedb ID, little-endian) and per track a confidence byte, the checksum and a checksum
// of frame 450 that is not used here.
struct AccurateRipPressing {
    struct Entry {
        int confidence = 0;
        uint32_t checksum = 0;
    };
    uint32_t id1 = 0;
    uint32_t id2 = 0;
    uint32_t freedbId = 0;
    std::vector<Entry> tracks;
};

// Every pressing of a dBAR file; nullopt when the bytes are not one (cut short, empty
// pressing, a track count of 0).
std::optional<std::vector<AccurateRipPressing>> parseDbar(const QByteArray &bytes);

// The pressings that answer for the disc `id`: the same track count, both disc sums and the
// freedb ID. A server may answer for another disc (a wrong path, a stale mirror); such a
// pressing says nothing of this one.
std::vector<AccurateRipPressing> pressingsOfDisc(std::vector<AccurateRipPressing> pressings,
                                                 const AccurateRipDiscId &id);

// What the database says of one ripped track.
struct AccurateRipVerdict {
    enum Kind { NotChecked, Accurate, NotPresent, Mismatch };
    Kind kind = NotChecked;
    int version = 0;    // 1 or 2 for Accurate
    int confidence = 0; // of the match for Accurate; the best seen for Mismatch

    // "accurately ripped (v2, confidence 12)", "not present in the database",
    // "mismatch (best confidence 7)", "not checked"
    QString text() const;
};

// The verdict for the track in place `index` (0-based, counting every track of the TOC,
// data tracks too) of a disc whose database answer is `pressings`.
AccurateRipVerdict accurateRipVerdict(const std::vector<AccurateRipPressing> &pressings,
                                      int index, const TrackChecksums &sums);
