#include "disc/cd_track_reader.h"

#include "disc/cd_disc.h"
#include "disc/image/cd_image.h"
#include "disc/simulated_drive.h"

#include <algorithm>
#include <cstring>

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

namespace {

constexpr int kSectorBytes = CDIO_CD_FRAMESIZE_RAW;
constexpr int kSectorSamples = CdTrackReader::kSectorSamples;
constexpr int kDriveReadSectors = 25;
constexpr int kSmallReadSectors = 8;

cdrom_drive_t *openDrive(const CdDisc &disc)
{
    cdrom_drive_t *drive = cdio_cddap_identify_cdio(disc.handle(), CDDA_MESSAGE_FORGETIT, nullptr);
    if (!drive)
        return nullptr;
    if (cdio_cddap_open(drive) != 0) {
        cdio_cddap_close_no_free_cdio(drive);
        return nullptr;
    }
    if (disc.simulation())
        disc.simulation()->attach(drive);
    return drive;
}

// Straight reads in chunks; a chunk that fails is read again sector by sector, so one bad
// sector costs only its own retries.
class DirectReader : public CdTrackReader {
public:
    DirectReader(std::shared_ptr<const CdDisc> disc, cdrom_drive_t *drive, int firstLsn,
                 int sectors, const CdReadSettings &settings)
        : CdTrackReader(std::move(disc), drive, firstLsn, sectors, settings)
    {
    }

protected:
    bool readSector(int lsn, int16_t *out) override
    {
        if (lsn >= m_failedUntil && !inChunk(lsn))
            readChunk(lsn);
        if (!inChunk(lsn))
            return readSectorStraight(lsn, out);
        std::memcpy(out, &m_chunk[size_t(lsn - m_chunkFirst) * kSectorSamples], kSectorBytes);
        return true;
    }

private:
    bool inChunk(int lsn) const { return lsn >= m_chunkFirst && lsn < m_chunkFirst + m_chunkSectors; }

    void readChunk(int lsn)
    {
        const int count = std::min(kDriveReadSectors, endLsn() - lsn);
        m_chunk.resize(size_t(count) * kSectorSamples);
        m_chunkFirst = lsn;
        m_chunkSectors = cdio_cddap_read(drive(), m_chunk.data(), lsn, count) == count ? count : 0;
        if (m_chunkSectors == 0)
            m_failedUntil = lsn + count;
    }

    std::vector<int16_t> m_chunk;
    int m_chunkFirst = 0;
    int m_chunkSectors = 0;
    int m_failedUntil = 0;
};

// paranoia reports trouble through a callback without user data; the reader that is inside
// cdio_paranoia_read_limited on this thread collects it.
thread_local int *t_troubleUntil = nullptr;
thread_local int t_troubleMargin = 0;

void paranoiaCallback(long position, paranoia_cb_mode_t mode)
{
    if (t_troubleUntil && (mode == PARANOIA_CB_READERR || mode == PARANOIA_CB_SKIP))
        *t_troubleUntil = std::max(*t_troubleUntil, int(position / kSectorSamples) + t_troubleMargin);
}

int paranoiaMode(int grabMode)
{
    if (grabMode == 2)
        return PARANOIA_MODE_OVERLAP | PARANOIA_MODE_VERIFY;
    return PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;
}

// paranoia's callback does not say which of the sectors it hands out are affected, so once it
// reports trouble, the sectors it returns up to the reported place (plus one read's length)
// are read again straight: the drive's answer decides whether a sector is good, and paranoia's
// data stays as the best guess for one that is not.
class ParanoiaReader : public CdTrackReader {
public:
    ParanoiaReader(std::shared_ptr<const CdDisc> disc, cdrom_drive_t *drive, int firstLsn,
                   int sectors, const CdReadSettings &settings)
        : CdTrackReader(std::move(disc), drive, firstLsn, sectors, settings)
    {
        if (settings.grabMode >= 4)
            drive->nsectors = std::min(drive->nsectors, kSmallReadSectors);
        m_paranoia = cdio_paranoia_init(drive);
        cdio_paranoia_modeset(m_paranoia, paranoiaMode(settings.grabMode));
        cdio_paranoia_set_range(m_paranoia, firstLsn, firstLsn + sectors - 1);
        cdio_paranoia_seek(m_paranoia, firstLsn, SEEK_SET);
        // paranoia weighs its retry limit only at every fifth retry: any other limit is never
        // reached, and an unreadable sector is then read for ever.
        m_retries = (std::max(1, settings.retries) + 4) / 5 * 5;
    }
    ~ParanoiaReader() override { cdio_paranoia_free(m_paranoia); }

protected:
    bool readSector(int lsn, int16_t *out) override
    {
        t_troubleUntil = &m_troubleUntil;
        t_troubleMargin = drive()->nsectors;
        const int16_t *data = cdio_paranoia_read_limited(m_paranoia, paranoiaCallback, m_retries);
        t_troubleUntil = nullptr;
        if (data)
            std::memcpy(out, data, kSectorBytes);
        if (data && lsn > m_troubleUntil)
            return true;
        std::vector<int16_t> straight(kSectorSamples);
        if (!readSectorStraight(lsn, straight.data()))
            return false;
        std::memcpy(out, straight.data(), kSectorBytes);
        return true;
    }

private:
    cdrom_paranoia_t *m_paranoia = nullptr;
    int m_retries = 1;
    int m_troubleUntil = -1;
};

} // namespace

std::unique_ptr<CdTrackReader> CdTrackReader::open(std::shared_ptr<const CdDisc> disc,
                                                   const CdTocTrack &track,
                                                   const CdReadSettings &settings)
{
    if (!disc || track.sectors <= 0 || !track.audio)
        return nullptr;
    if (disc->isImage())
        return openImageTrackReader(std::move(disc), track, settings);
    cdrom_drive_t *drive = openDrive(*disc);
    if (!drive)
        return nullptr;
    if (settings.grabMode >= 2)
        return std::make_unique<ParanoiaReader>(std::move(disc), drive, track.firstLsn,
                                                track.sectors, settings);
    return std::make_unique<DirectReader>(std::move(disc), drive, track.firstLsn, track.sectors,
                                          settings);
}

CdTrackReader::CdTrackReader(std::shared_ptr<const CdDisc> disc, cdrom_drive_s *drive,
                             int firstLsn, int sectors, const CdReadSettings &settings)
    : m_disc(std::move(disc)), m_drive(drive), m_settings(settings), m_nextLsn(firstLsn),
      m_endLsn(firstLsn + sectors)
{
}

CdTrackReader::~CdTrackReader()
{
    if (m_drive)
        cdio_cddap_close_no_free_cdio(m_drive);
}

bool CdTrackReader::readSectorStraight(int lsn, int16_t *out) const
{
    for (int attempt = 0; attempt <= std::max(0, m_settings.retries); ++attempt) {
        if (cdio_cddap_read(m_drive, out, lsn, 1) == 1)
            return true;
    }
    return false;
}

SampleBlock CdTrackReader::read(int samples, bool *error)
{
    *error = false;
    const size_t wanted = size_t(std::max(0, samples)) & ~size_t(1);
    while (m_pending.size() - m_pendingStart < wanted && m_nextLsn < m_endLsn) {
        // A block that would be empty goes on past the bad sectors: empty means the end.
        if (!fillOneSector()) {
            *error = true;
            if (m_pending.size() > m_pendingStart)
                break;
        }
    }
    const size_t count = std::min(wanted, m_pending.size() - m_pendingStart);
    const auto first = m_pending.begin() + std::ptrdiff_t(m_pendingStart);
    std::vector<int16_t> block(first, first + std::ptrdiff_t(count));
    m_pendingStart += count;
    if (m_pendingStart == m_pending.size() || m_pendingStart > m_pending.size() / 2) {
        m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(m_pendingStart));
        m_pendingStart = 0;
    }
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
    ++m_unreadableSectors;
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
