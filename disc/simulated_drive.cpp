#include "disc/simulated_drive.h"

#include "disc/image/cd_image.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>

namespace {

constexpr int64_t kSectorFrames = 588;
constexpr int kSectorSamples = 1176;
constexpr int kFlakyReads = 2; // a flaky sector's first reads come back damaged, each its own way
constexpr int kJitterShifts[] = {5, -3, 7, -6}; // frames, in turn

// paranoia's read function gets only the drive; the drive's libcdio handle says whose it is.
std::mutex g_mutex;
std::map<const CdIo_t *, SimulatedDrive *> g_drives;

long readAudio(cdrom_drive_t *drive, void *buffer, lsn_t begin, long sectors)
{
    const std::lock_guard lock(g_mutex);
    const auto found = g_drives.find(drive->p_cdio);
    if (found == g_drives.end())
        return -1;
    return found->second->serve(static_cast<int16_t *>(buffer), begin, sectors);
}

bool inAny(const std::vector<SectorRange> &ranges, int lsn)
{
    return std::any_of(ranges.begin(), ranges.end(), [lsn](const SectorRange &r) { return r.contains(lsn); });
}

QString msf(int lsn)
{
    return QString::asprintf("%02d:%02d:%02d", lsn / (60 * 75), lsn / 75 % 60, lsn % 75);
}

// A cue sheet of the table of contents alone; its data file is sparse, of the disc's size.
QByteArray standInSheet(const CdToc &toc)
{
    QByteArray sheet = "FILE \"disc.bin\" BINARY\n";
    for (const CdTocTrack &track : toc.tracks) {
        sheet += QStringLiteral("  TRACK %1 %2\n    INDEX 01 %3\n")
                     .arg(track.number, 2, 10, QLatin1Char('0'))
                     .arg(track.audio ? QStringLiteral("AUDIO") : QStringLiteral("MODE1/2352"), msf(track.firstLsn))
                     .toLatin1();
    }
    return sheet;
}

bool writeFile(const QString &path, const QByteArray &bytes, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && (size < 0 || file.resize(size));
}

} // namespace

std::shared_ptr<SimulatedDrive> SimulatedDrive::open(const QString &path, QString *error)
{
    std::optional<DriveDescription> description = readDriveDescription(path, error);
    if (!description)
        return nullptr;
    std::optional<CdImageLayout> layout = readCdImage(description->image, error);
    if (!layout)
        return nullptr;
    std::shared_ptr<SimulatedDrive> drive(
        new SimulatedDrive(std::move(*description), std::make_unique<CdImageLayout>(std::move(*layout))));
    if (!drive->makeStandIn(error))
        return nullptr;
    return drive;
}

SimulatedDrive::SimulatedDrive(DriveDescription description, std::unique_ptr<CdImageLayout> layout)
    : m_description(std::move(description)), m_layout(std::move(layout)),
      m_reader(std::make_unique<CdImageReader>(*m_layout))
{
}

SimulatedDrive::~SimulatedDrive()
{
    const std::lock_guard lock(g_mutex);
    for (auto it = g_drives.begin(); it != g_drives.end();)
        it = it->second == this ? g_drives.erase(it) : std::next(it);
    if (m_cdio)
        cdio_destroy(m_cdio);
}

bool SimulatedDrive::makeStandIn(QString *error)
{
    const QString cue = m_standInDir.filePath(QStringLiteral("disc.cue"));
    const qint64 discBytes = qint64(m_layout->toc.leadoutLsn) * CDIO_CD_FRAMESIZE_RAW;
    if (!m_standInDir.isValid() || !writeFile(cue, standInSheet(m_layout->toc), -1)
        || !writeFile(m_standInDir.filePath(QStringLiteral("disc.bin")), {}, discBytes)) {
        *error = QStringLiteral("cannot make the simulated drive's disc in %1").arg(m_standInDir.path());
        return false;
    }
    m_cdio = cdio_open_cue(QFile::encodeName(cue).constData());
    if (!m_cdio) {
        *error = QStringLiteral("libcdio cannot open the simulated drive's disc");
        return false;
    }
    const std::lock_guard lock(g_mutex);
    g_drives[m_cdio] = this;
    return true;
}

CdIo_t *SimulatedDrive::takeHandle()
{
    CdIo_t *cdio = m_cdio;
    m_cdio = nullptr; // stays registered: the caller's drive reads through it
    return cdio;
}

void SimulatedDrive::attach(cdrom_drive_s *drive) const
{
    drive->read_audio = readAudio;
    drive->bigendianp = QSysInfo::ByteOrder == QSysInfo::BigEndian ? 1 : 0; // host order, as served
}

long SimulatedDrive::serve(int16_t *buffer, int begin, long sectors)
{
    if (!buffer)
        return sectors;
    long good = 0;
    while (good < sectors && !fails(begin + int(good)))
        ++good;
    if (good == 0)
        return -1;
    const int64_t first = begin * kSectorFrames - m_description.offset + jitterShift(begin);
    readFrames(first, good * kSectorFrames, buffer);
    for (long i = 0; i < good; ++i)
        damage(begin + int(i), buffer + i * kSectorSamples);
    return good;
}

bool SimulatedDrive::fails(int lsn)
{
    for (const SectorRange &range : m_description.faults.unreadable) {
        if (range.contains(lsn))
            return range.failingReads < 0 || ++m_reads[lsn] <= range.failingReads;
    }
    return false;
}

// Frames of the disc as it is; before its start and past its lead-out, zeros.
void SimulatedDrive::readFrames(int64_t first, int64_t count, int16_t *out)
{
    std::fill(out, out + count * 2, int16_t(0));
    const int64_t end = int64_t(m_layout->toc.leadoutLsn) * kSectorFrames;
    std::vector<int16_t> sector(kSectorSamples);
    const int64_t from = std::max<int64_t>(first, 0);
    const int64_t to = std::min(first + count, end);
    for (int64_t frame = from; frame < to;) {
        const int lsn = int(frame / kSectorFrames);
        const int64_t skip = frame - lsn * kSectorFrames;
        const int64_t take = std::min(kSectorFrames - skip, to - frame);
        if (m_reader->readSector(lsn, sector.data()))
            std::copy_n(sector.data() + skip * 2, take * 2, out + (frame - first) * 2);
        frame += take;
    }
}

void SimulatedDrive::damage(int lsn, int16_t *sector)
{
    if (!inAny(m_description.faults.flaky, lsn))
        return;
    const int read = ++m_reads[lsn];
    if (read > kFlakyReads)
        return;
    for (int i = 0; i < kSectorSamples; ++i)
        sector[i] = int16_t(sector[i] ^ (0x1111 * read + i * 7 + 1));
}

int SimulatedDrive::jitterShift(int begin)
{
    if (!inAny(m_description.faults.jitter, begin))
        return 0;
    return kJitterShifts[m_jitteredReads++ % std::size(kJitterShifts)];
}
