#pragma once

#include "audio/sample_block.h"

#include <cstdint>
#include <memory>
#include <vector>

class CdDisc;
struct CdTocTrack;

// How a track is read: grab mode 0 and 1 read straight, 2 adds jitter correction (overlap
// verification), 3 and 4 full paranoia (4 with smaller reads). Every unreadable sector is
// retried at most `retries` times; then `errorAction` decides what becomes of it.
struct CdReadSettings {
    enum ErrorAction { Stop = 0, Silence = 1, Cut = 2, Correct = 3 };
    int grabMode = 1;
    int retries = 5;
    int errorAction = Cut;
};

// Sequential reader of one audio track. Blocks come in host byte order, 44100 Hz stereo.
class CdTrackReader {
public:
    // Null when the drive refuses audio reading. The reader keeps the disc open.
    static std::unique_ptr<CdTrackReader> open(std::shared_ptr<const CdDisc> disc,
                                               const CdTocTrack &track,
                                               const CdReadSettings &settings);
    virtual ~CdTrackReader() = default;

    // At most `samples` samples (an even count); empty once the track is read. `error` is set
    // when the block ended early at a sector the Stop action gave up on; the next read goes on
    // after that sector.
    SampleBlock read(int samples, bool *error);

protected:
    CdTrackReader(int firstLsn, int sectors, const CdReadSettings &settings);
    // One sector, 1176 samples, into `out`; false when it stayed unreadable.
    virtual bool readSector(int lsn, int16_t *out) = 0;
    const CdReadSettings &settings() const { return m_settings; }

private:
    bool fillOneSector();

    CdReadSettings m_settings;
    int m_nextLsn;
    int m_endLsn;
    std::vector<int16_t> m_pending;
};
