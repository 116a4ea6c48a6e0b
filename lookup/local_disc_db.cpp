#include "lookup/local_disc_db.h"

#include "settings/ini_file.h"

#include <QDir>
#include <QFileInfo>

QString LocalDiscDb::path()
{
    return QFileInfo(IniFile::configPath()).dir().filePath(QStringLiteral("cdplayer.ini"));
}

std::optional<DiscNames> LocalDiscDb::find(const QString &discId)
{
    if (discId.isEmpty() || !QFileInfo::exists(path()))
        return std::nullopt;
    const IniFile ini(path());
    DiscNames names;
    names.artist = ini.readString(discId, QStringLiteral("artist"), {});
    names.album = ini.readString(discId, QStringLiteral("title"), {});
    const int count = std::clamp(ini.readInteger(discId, QStringLiteral("numtracks"), 0), 0, 99);
    for (int i = 0; i < count; ++i)
        names.titles.append(ini.readString(discId, QString::number(i), {}));
    if (names.isEmpty())
        return std::nullopt;
    return names;
}
