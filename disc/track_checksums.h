#pragma once

#include <cstddef>
#include <cstdint>

struct CdToc;
struct CdTocTrack;

// What a rip proves about one track: the AccurateRip checksums (v1 and v2), the CRC32 of its
// PCM bytes (little-endian 16-bit stereo, as on the disc) and its peak level.
struct TrackChecksums {
    uint32_t accurateRipV1 = 0;
    uint32_t accurateRipV2 = 0;
    uint32_t crc32 = 0;
    int peak = 0;        // largest absolute sample, 0 to 32768
    int64_t frames = 0;  // stereo frames seen
    double peakPercent() const { return peak * 100.0 / 32768.0; }
};

// The CRC-32 of 16-bit samples as little-endian bytes (a WAV data chunk, the disc's PCM), going
// on from `crc` (0 to start).
uint32_t pcmCrc32(uint32_t crc, const int16_t *samples, size_t count);

// Sums the checksums of one track block by block, while it is read. The AccurateRip sums
// leave out the first five sectors less one frame of the disc's first audio track and the
// last five sectors of its last one; `trackFrames` is the track's length in the TOC.
class TrackChecksummer {
public:
    TrackChecksummer() = default;
    TrackChecksummer(int64_t trackFrames, bool firstTrack, bool lastTrack);

    // Interleaved stereo samples in host order; an odd trailing sample waits for its pair.
    void add(const int16_t *samples, size_t count);
    TrackChecksums result() const;
    // The 1-based frame positions that the AccurateRip sums take, ends included.
    uint64_t firstCounted() const { return m_firstCounted; }
    uint64_t lastCounted() const { return m_lastCounted; }

private:
    void addFrames(const int16_t *samples, size_t frames);

    uint64_t m_firstCounted = 1; // 1-based frame positions that the AccurateRip sums take
    uint64_t m_lastCounted = 0;
    uint64_t m_position = 0;     // frames so far
    TrackChecksums m_sums;
    bool m_hasPending = false;
    int16_t m_pending = 0; // a left sample whose right one is in the next block
};

// The checksummer for a track of this disc: the disc's first and last audio tracks leave out
// their edges.
TrackChecksummer checksummerFor(const CdToc &toc, const CdTocTrack &track);
