#include "disc/cd_drive_list.h"

#include "disc/cdio_log.h"

#include <QFileInfo>

#include <cdio/cdio.h>

namespace {

QString hardwareName(const char *device)
{
    CdIo_t *cdio = cdio_open(device, DRIVER_DEVICE);
    if (!cdio)
        return {};
    cdio_hwinfo_t info{};
    QString name;
    if (cdio_get_hwinfo(cdio, &info))
        name = QStringLiteral("%1 %2").arg(QString::fromLatin1(info.psz_vendor).trimmed(),
                                           QString::fromLatin1(info.psz_model).trimmed());
    cdio_destroy(cdio);
    return name.trimmed();
}

void appendRealDrives(std::vector<CdDriveEntry> &drives)
{
    // NULL, not an empty list, when the machine has no drive.
    char **devices = cdio_get_devices(DRIVER_DEVICE);
    if (!devices)
        return;
    for (char **device = devices; *device; ++device)
        drives.push_back({QString::fromLocal8Bit(*device), hardwareName(*device)});
    cdio_free_device_list(devices);
}

void appendConfiguredSources(std::vector<CdDriveEntry> &drives)
{
    const QString list = qEnvironmentVariable("HARVELO_CD_DEVICES");
    for (const QString &source : list.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QFileInfo info(source);
        const QString name = info.isFile() ? info.fileName() : hardwareName(source.toLocal8Bit());
        drives.push_back({source, name});
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
