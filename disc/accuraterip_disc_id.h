#pragma once

#include <QString>
#include <cstdint>

struct CdToc;

// What the AccurateRip database knows a disc by, from its table of contents: the count of
// audio tracks, two sums of the audio tracks' starts and the disc's end, and the freedb ID.
// A data track ahead of the audio (mixed mode) or after it (enhanced CD) adds nothing but
// its place: the sums take the audio tracks, numbered from 1, and the true lead-out.
struct AccurateRipDiscId {
    int audioTracks = 0;
    uint32_t id1 = 0;
    uint32_t id2 = 0;
    uint32_t freedbId = 0;

    // Empty (audioTracks 0) for a TOC without audio tracks.
    static AccurateRipDiscId fromToc(const CdToc &toc);
    bool isEmpty() const { return audioTracks == 0; }
    // "010-00164419-00b9f6e2-9e11600b"
    QString text() const;
    // "dBAR-010-00164419-00b9f6e2-9e11600b.bin"
    QString fileName() const;
    // "/accuraterip/9/1/4/dBAR-...bin": the last three hex digits of id1, last first.
    QString urlPath() const;
};
