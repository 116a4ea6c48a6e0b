#include "audio/cd_track_reader.h"

#include "audio/cd_disc.h"

#include <algorithm>
#include <optional>
#include <cstring>
#include <set>

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

namespace {

constexpr int kSectorSamples = CDIO_CD_FRAMESIZE_RAW / 2;

// libcdio-paranoia's drive object, without closing the CdIo handle the disc owns.
struct DriveCloser {
    void operator()(cdrom_drive_t *drive) const { cdio_cddap_close_no_free_cdio(drive); }
};
// The paranoia drive with the disc whose handle it borrows (declared first, freed last).
struct DrivePtr {
    std::shared_ptr<const CdDisc> disc;
    std::unique_ptr<cdrom_drive_t, DriveCloser> drive;

    cdrom_drive_t *get() const { return drive.get(); }
    cdrom_drive_t *operator->() const { return drive.get(); }
};

std::optional<DrivePtr> openDrive(std::shared_ptr<const CdDisc> disc)
{
    DrivePtr result{std::move(disc), {}};
    result.drive.reset(
        cdio_cddap_identify_cdio(result.disc->handle(), CDDA_MESSAGE_FORGETIT, nullptr));
    if (!result.drive)
        return std::nullopt;
    // Image data is little-endian; without this libcdio guesses the order from the samples.
    if (result.disc->isImage())
        result.drive->bigendianp = 0;
    if (cdio_cddap_open(result.get()) != 0)
        return std::nullopt;
    return result;
}

// Straight reads in chunks; a chunk that fails is read again sector by sector.
class DirectReader : public CdTrackReader {
public:
    DirectReader(DrivePtr drive, int firstLsn, int sectors, const CdReadSettings &settings)
        : CdTrackReader(firstLsn, sectors, settings), m_drive(std::move(drive)),
          m_endLsn(firstLsn + sectors)
    {
    }

protected:
    bool readSector(int lsn, int16_t *out) override
    {
        if (lsn >= m_failedUntil && (lsn < m_chunkFirst || lsn >= m_chunkFirst + m_chunkSectors))
            readChunk(lsn);
        if (lsn >= m_chunkFirst && lsn < m_chunkFirst + m_chunkSectors) {
            std::memcpy(out, &m_chunk[size_t(lsn - m_chunkFirst) * kSectorSamples],
                        CDIO_CD_FRAMESIZE_RAW);
            return true;
        }
        return readSingleSector(lsn, out);
    }

private:
    // After a failed chunk its sectors are read one at a time, so one bad sector costs only
    // its own retries.
    void readChunk(int lsn)
    {
        const int count = std::min(kChunkSectors, m_endLsn - lsn);
        m_chunk.resize(size_t(count) * kSectorSamples);
        m_chunkFirst = lsn;
        const long read = cdio_cddap_read(m_drive.get(), m_chunk.data(), lsn, count);
        m_chunkSectors = read == count ? count : 0;
        if (m_chunkSectors == 0)
            m_failedUntil = lsn + count;
    }

    bool readSingleSector(int lsn, int16_t *out)
    {
        for (int attempt = 0; attempt <= std::max(0, settings().retries); ++attempt) {
            if (cdio_cddap_read(m_drive.get(), out, lsn, 1) == 1)
                return true;
        }
        return false;
    }

    static constexpr int kChunkSectors = 25;
    DrivePtr m_drive;
    int m_endLsn;
    std::vector<int16_t> m_chunk;
    int m_chunkFirst = 0;
    int m_chunkSectors = 0;
    int m_failedUntil = 0;
};

// paranoia reports trouble through a callback without user data; the reader that is inside
// cdio_paranoia_read_limited on this thread collects it.
thread_local std::set<long> *t_badSectors = nullptr;

void paranoiaCallback(long position, paranoia_cb_mode_t mode)
{
    if (t_badSectors && (mode == PARANOIA_CB_READERR || mode == PARANOIA_CB_SKIP))
        t_badSectors->insert(position / kSectorSamples);
}

int paranoiaMode(int grabMode)
{
    if (grabMode == 2)
        return PARANOIA_MODE_OVERLAP | PARANOIA_MODE_VERIFY;
    return PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;
}

class ParanoiaReader : public CdTrackReader {
public:
    ParanoiaReader(DrivePtr drive, int firstLsn, int sectors, const CdReadSettings &settings)
        : CdTrackReader(firstLsn, sectors, settings), m_drive(std::move(drive))
    {
        if (settings.grabMode >= 4)
            m_drive->nsectors = std::min(m_drive->nsectors, kSmallReadSectors);
        m_paranoia = cdio_paranoia_init(m_drive.get());
        cdio_paranoia_modeset(m_paranoia, paranoiaMode(settings.grabMode));
        cdio_paranoia_set_range(m_paranoia, firstLsn, firstLsn + sectors - 1);
        cdio_paranoia_seek(m_paranoia, firstLsn, SEEK_SET);
    }
    ~ParanoiaReader() override { cdio_paranoia_free(m_paranoia); }

protected:
    bool readSector(int lsn, int16_t *out) override
    {
        t_badSectors = &m_badSectors;
        const int16_t *data =
            cdio_paranoia_read_limited(m_paranoia, paranoiaCallback, std::max(1, settings().retries));
        t_badSectors = nullptr;
        if (!data)
            return false;
        std::memcpy(out, data, CDIO_CD_FRAMESIZE_RAW);
        const bool bad = m_badSectors.count(lsn) > 0;
        m_badSectors.erase(m_badSectors.begin(), m_badSectors.upper_bound(lsn));
        return !bad;
    }

private:
    static constexpr int kSmallReadSectors = 8;
    DrivePtr m_drive;
    cdrom_paranoia_t *m_paranoia = nullptr;
    std::set<long> m_badSectors;
};

} // namespace

std::unique_ptr<CdTrackReader> CdTrackReader::open(std::shared_ptr<const CdDisc> disc,
                                                   const CdTocTrack &track,
                                                   const CdReadSettings &settings)
{
    if (!disc || track.sectors <= 0 || !track.audio)
        return nullptr;
    std::optional<DrivePtr> drive = openDrive(std::move(disc));
    if (!drive)
        return nullptr;
    if (settings.grabMode >= 2)
        return std::make_unique<ParanoiaReader>(std::move(*drive), track.firstLsn, track.sectors,
                                                settings);
    return std::make_unique<DirectReader>(std::move(*drive), track.firstLsn, track.sectors,
                                          settings);
}

CdTrackReader::CdTrackReader(int firstLsn, int sectors, const CdReadSettings &settings)
    : m_settings(settings), m_nextLsn(firstLsn), m_endLsn(firstLsn + sectors)
{
}

SampleBlock CdTrackReader::read(int samples, bool *error)
{
    *error = false;
    const size_t wanted = size_t(std::max(0, samples)) & ~size_t(1);
    while (m_pending.size() < wanted && m_nextLsn < m_endLsn) {
        if (!fillOneSector()) {
            *error = true;
            break;
        }
    }
    const size_t count = std::min(wanted, m_pending.size());
    std::vector<int16_t> block(m_pending.begin(), m_pending.begin() + count);
    m_pending.erase(m_pending.begin(), m_pending.begin() + count);
    return SampleBlock(std::move(block), 44100, 2);
}

// Appends the next sector as the error action decides; false when the action is Stop and the
// sector stayed unreadable (it is left out and the block ends there).
bool CdTrackReader::fillOneSector()
{
    int16_t sector[kSectorSamples] = {};
    const int lsn = m_nextLsn++;
    if (readSector(lsn, sector)) {
        m_pending.insert(m_pending.end(), sector, sector + kSectorSamples);
        return true;
    }
    switch (m_settings.errorAction) {
    case CdReadSettings::Stop:
        return false;
    case CdReadSettings::Cut:
        return true;
    case CdReadSettings::Correct:
        m_pending.insert(m_pending.end(), sector, sector + kSectorSamples);
        return true;
    default:
        m_pending.insert(m_pending.end(), kSectorSamples, int16_t(0));
        return true;
    }
}
