#include "settings/settings_keys.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace settings {

QString defaultOutputDirectory()
{
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return music.isEmpty() ? QDir::homePath() : music;
}

QString defaultSkinName()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("skins/skin1.skn"));
}

// gnudb carries on the freedb database and answers the CDDB protocol over HTTP.
QString defaultCddbServer()
{
    return QStringLiteral("gnudb.gnudb.org");
}

QString defaultCgiScript()
{
    return QStringLiteral("/~cddb/cddb.cgi");
}

QString readOffsetKeyOf(const QString &vendor, const QString &model)
{
    return QString::fromLatin1(kReadOffsetOfDrive).arg(vendor.simplified(), model.simplified());
}

} // namespace settings
