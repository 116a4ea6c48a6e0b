#include "disc/cd_settings.h"

#include "disc/audio_grabber.h"
#include "disc/drive_description.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace {

// "cd type" is the position in the settings dialog's list Auto, IDE, SCSI, SCSI(old); any other
// value leaves the grabber's read type as it is.
std::optional<int> driveReadTypeFor(int cdType)
{
    switch (cdType) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return 4;
    case 3:
        return 3;
    default:
        return std::nullopt;
    }
}

int clampedOffset(int offset)
{
    return std::clamp(offset, -settings::kMaxReadOffset, settings::kMaxReadOffset);
}

bool hasName(const QString &vendor, const QString &model)
{
    return !vendor.trimmed().isEmpty() || !model.trimmed().isEmpty();
}

} // namespace

std::optional<int> ownReadOffset(const IniFile &ini, const QString &vendor, const QString &model)
{
    if (!hasName(vendor, model))
        return std::nullopt;
    const QString key = settings::readOffsetKeyOf(vendor, model);
    int offset = 0;
    if (!IniFile::parseInteger(ini.readString(QString::fromLatin1(settings::kCdSettings), key, {}), &offset))
        return std::nullopt;
    return clampedOffset(offset);
}

int readOffsetOf(const IniFile &ini, const QString &vendor, const QString &model)
{
    return ownReadOffset(ini, vendor, model).value_or(clampedOffset(ini.read(settings::readOffset)));
}

void writeOwnReadOffset(IniFile &ini, const QString &vendor, const QString &model, int offset)
{
    if (hasName(vendor, model))
        ini.writeInteger(QString::fromLatin1(settings::kCdSettings), settings::readOffsetKeyOf(vendor, model),
                         clampedOffset(offset));
}

void applyCdSettings(AudioGrabber &grabber, const IniFile &ini)
{
    if (const std::optional<int> readType = driveReadTypeFor(ini.read(settings::cdType)))
        grabber.setDriveReadType(*readType);
    grabber.setGrabModePreset(ini.read(settings::grabMode));
    grabber.setGrabOnErrorRetries(ini.read(settings::errorRetry));
    grabber.setGrabOnErrorAction(ini.read(settings::errorAction));
    grabber.setDriveSpeed(ini.read(settings::driveSpeed));
    grabber.setDriveNum(ini.read(settings::cdUnit) + 1);
    applyReadOffset(grabber, ini);
}

void applyReadOffset(AudioGrabber &grabber, const IniFile &ini)
{
    const int offset = readOffsetOf(ini, grabber.driveVendor(), grabber.driveModel());
    const QString source = grabber.driveLetter();
    grabber.setReadOffset(QFileInfo(source).isFile() && !isDriveDescriptionPath(source) ? 0 : offset);
}
