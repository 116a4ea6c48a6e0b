#include "disc/cd_drive_list.h"

#include "disc/cdio_log.h"
#include "disc/drive_description.h"

#include <QFileInfo>

#include <cdio/cdio.h>

namespace {

CdDriveEntry namedEntry(const QString &path, const QString &vendor, const QString &model)
{
    const QString name = QStringLiteral("%1 %2").arg(vendor.simplified(), model.simplified());
    return {path, name.trimmed(), vendor.trimmed(), model.trimmed()};
}

CdDriveEntry hardwareEntry(const QString &path)
{
    CdIo_t *cdio = cdio_open(path.toLocal8Bit().constData(), DRIVER_DEVICE);
    if (!cdio)
        return {path, {}, {}, {}};
    cdio_hwinfo_t info{};
    CdDriveEntry entry{path, {}, {}, {}};
    if (cdio_get_hwinfo(cdio, &info))
        entry = namedEntry(path, QString::fromLatin1(info.psz_vendor), QString::fromLatin1(info.psz_model));
    cdio_destroy(cdio);
    return entry;
}

CdDriveEntry sourceEntry(const QString &source)
{
    const QFileInfo info(source);
    if (!info.isFile())
        return hardwareEntry(source);
    QString error;
    const std::optional<DriveDescription> drive =
        isDriveDescriptionPath(source) ? readDriveDescription(source, &error) : std::nullopt;
    if (drive)
        return namedEntry(source, drive->vendor, drive->model);
    return {source, info.fileName(), {}, {}};
}

void appendRealDrives(std::vector<CdDriveEntry> &drives)
{
    // NULL, not an empty list, when the machine has no drive.
    char **devices = cdio_get_devices(DRIVER_DEVICE);
    if (!devices)
        return;
    for (char **device = devices; *device; ++device)
        drives.push_back(hardwareEntry(QString::fromLocal8Bit(*device)));
    cdio_free_device_list(devices);
}

void appendConfiguredSources(std::vector<CdDriveEntry> &drives)
{
    const QString list = qEnvironmentVariable("HARVELO_CD_DEVICES");
    for (const QString &source : list.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        drives.push_back(sourceEntry(source));
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
