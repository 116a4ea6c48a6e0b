#pragma once

#include "disc/cd_track_reader.h"

#include <memory>

struct CdToc;

// A track read with the drive's read offset corrected: frame k of what it gives is frame
// (track start + k + offset) of the disc, so reading runs on into the neighbouring track.
// Frames before the disc's first sector or past its last audio sector are zeros, as no drive
// can give them. The length stays the track's.
class ShiftedTrackReader {
public:
    // Null when the track is no audio track or the drive refuses audio reading.
    static std::unique_ptr<ShiftedTrackReader> open(std::shared_ptr<const CdDisc> disc,
                                                    const CdToc &toc, const CdTocTrack &track,
                                                    const CdReadSettings &settings, int offset);

    // As CdTrackReader::read.
    SampleBlock read(int samples, bool *error);
    // As CdTrackReader::unreadableFrames, for the sectors read so far.
    int64_t unreadableFrames() const;

private:
    ShiftedTrackReader() = default;
    void appendZeros(std::vector<int16_t> &out, int64_t &zeros, size_t wanted) const;
    void appendData(std::vector<int16_t> &out, size_t wanted, bool *error);

    std::unique_ptr<CdTrackReader> m_reader; // the sectors that hold the shifted range
    int64_t m_leadZeros = 0;  // frames
    int64_t m_skip = 0;       // frames of the reader's first sector before the range
    int64_t m_dataFrames = 0; // frames still to take from the reader
    int64_t m_trailZeros = 0;
};
