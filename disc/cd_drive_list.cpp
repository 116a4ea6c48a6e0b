#include "disc/cd_drive_list.h"

#include "disc/cdio_log.h"

#include <QFileInfo>

#include <cdio/cdio.h>

namespace {

// A drive's entry with the vendor and model it reports.
CdDriveEntry hardwareEntry(const QString &path, const char *device)
{
    CdDriveEntry entry{path, {}, {}, {}};
    CdIo_t *cdio = cdio_open(device, DRIVER_DEVICE);
    if (!cdio)
        return entry;
    cdio_hwinfo_t info{};
    if (cdio_get_hwinfo(cdio, &info)) {
        entry.vendor = QString::fromLatin1(info.psz_vendor).trimmed();
        entry.model = QString::fromLatin1(info.psz_model).trimmed();
        entry.name = QStringLiteral("%1 %2").arg(entry.vendor, entry.model).trimmed();
    }
    cdio_destroy(cdio);
    return entry;
}

void appendRealDrives(std::vector<CdDriveEntry> &drives)
{
    // NULL, not an empty list, when the machine has no drive.
    char **devices = cdio_get_devices(DRIVER_DEVICE);
    if (!devices)
        return;
    for (char **device = devices; *device; ++device)
        drives.push_back(hardwareEntry(QString::fromLocal8Bit(*device), *device));
    cdio_free_device_list(devices);
}

void appendConfiguredSources(std::vector<CdDriveEntry> &drives)
{
    const QString list = qEnvironmentVariable("HARVELO_CD_DEVICES");
    for (const QString &source : list.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QFileInfo info(source);
        drives.push_back(info.isFile() ? CdDriveEntry{source, info.fileName(), {}, {}}
                                       : hardwareEntry(source, source.toLocal8Bit()));
    }
}

} // namespace

std::vector<CdDriveEntry> listCdDrives()
{
    installCdioLogHandler();
    std::vector<CdDriveEntry> drives;
    appendRealDrives(drives);
    appendConfiguredSources(drives);
    return drives;
}
