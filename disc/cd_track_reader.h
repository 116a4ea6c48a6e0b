#pragma once

#include "codec/sample_block.h"

#include <cstdint>
#include <memory>
#include <vector>

class CdDisc;
struct CdTocTrack;
struct cdrom_drive_s;

// How a track is read: grab mode 0 and 1 read straight, 2 adds jitter correction (overlap
// verification), 3 and 4 full paranoia (4 with smaller reads). An unreadable sector is tried
// again at most `retries` times; then `errorAction` decides what becomes of it.
struct CdReadSettings {
    enum ErrorAction { Stop = 0, Silence = 1, Cut = 2, Correct = 3 };
    int grabMode = 1;
    int retries = 5;
    int errorAction = Cut;
};

// Sequential reader of one audio track. Blocks come in host byte order, 44100 Hz stereo.
class CdTrackReader {
public:
    static constexpr int kSectorSamples = 1176;

    // Null when the drive refuses audio reading or the track is no audio track. The reader
    // keeps the disc open.
    static std::unique_ptr<CdTrackReader> open(std::shared_ptr<const CdDisc> disc,
                                               const CdTocTrack &track,
                                               const CdReadSettings &settings);
    virtual ~CdTrackReader();

    // At most `samples` samples (an even count); empty only once the track is read. `error` is
    // set when the Stop action gave up on a sector: the block then ends before it (or, had it
    // been empty, continues after the unreadable run) and the sector is left out.
    SampleBlock read(int samples, bool *error);
    // Frames of the sectors read so far that stayed unreadable, whatever the error action made
    // of them (left out, silence or a guess).
    int64_t unreadableFrames() const { return m_unreadableSectors * int64_t(kSectorSamples / 2); }

protected:
    CdTrackReader(std::shared_ptr<const CdDisc> disc, cdrom_drive_s *drive, int firstLsn,
                  int sectors, const CdReadSettings &settings);
    // One sector into `out`; false when it stayed unreadable (`out` then holds the best guess).
    virtual bool readSector(int lsn, int16_t *out) = 0;
    // One sector straight from the drive, with the retries of the settings.
    bool readSectorStraight(int lsn, int16_t *out) const;

    cdrom_drive_s *drive() const { return m_drive; }
    const CdDisc &disc() const { return *m_disc; }
    int endLsn() const { return m_endLsn; }

private:
    bool fillOneSector();

    std::shared_ptr<const CdDisc> m_disc; // outlives m_drive, which borrows its handle
    cdrom_drive_s *m_drive;
    CdReadSettings m_settings;
    int m_nextLsn;
    int m_endLsn;
    std::vector<int16_t> m_pending;
    size_t m_pendingStart = 0;
    int64_t m_unreadableSectors = 0;
};
