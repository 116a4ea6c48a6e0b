#include "disc/drive_description.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024;
constexpr int kMaxRanges = 1000;    // of each kind
constexpr int kMaxOffset = 100000;  // frames; far beyond any drive
constexpr int kMaxSector = 500000;  // well past the longest disc

// A line without its comment: ";" at the start or after a blank.
QString withoutComment(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char(';') && (i == 0 || line[i - 1].isSpace()))
            return line.left(i);
    }
    return line;
}

bool parseBoundedInt(const QString &text, int bound, int *value)
{
    bool ok = false;
    const int parsed = text.trimmed().toInt(&ok);
    if (!ok || parsed < -bound || parsed > bound)
        return false;
    *value = parsed;
    return true;
}

// "1000-1010" or "1000" or "1000-1010:3".
std::optional<SectorRange> parseRange(const QString &text)
{
    SectorRange range;
    QString span = text.trimmed();
    const qsizetype colon = span.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        if (!parseBoundedInt(span.mid(colon + 1), 1000, &range.failingReads) || range.failingReads < 0)
            return std::nullopt;
        span = span.left(colon);
    }
    const qsizetype dash = span.indexOf(QLatin1Char('-'), 1);
    const QString first = dash < 0 ? span : span.left(dash);
    const QString last = dash < 0 ? span : span.mid(dash + 1);
    if (!parseBoundedInt(first, kMaxSector, &range.first) || !parseBoundedInt(last, kMaxSector, &range.last)
        || range.last < range.first)
        return std::nullopt;
    return range;
}

bool parseRanges(const QString &value, std::vector<SectorRange> *ranges)
{
    for (const QString &part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<SectorRange> range = parseRange(part);
        if (!range || ranges->size() >= size_t(kMaxRanges))
            return false;
        ranges->push_back(*range);
    }
    return true;
}

// One "key = value" of a section; false when the value is not what the key takes.
bool takeValue(DriveDescription &drive, const QString &section, const QString &key,
               const QString &value, const QString &folder)
{
    if (section == QLatin1String("drive")) {
        if (key == QLatin1String("image"))
            drive.image = value.isEmpty() ? QString() : QDir(folder).absoluteFilePath(value);
        else if (key == QLatin1String("vendor"))
            drive.vendor = value;
        else if (key == QLatin1String("model"))
            drive.model = value;
        else if (key == QLatin1String("offset"))
            return parseBoundedInt(value, kMaxOffset, &drive.offset);
        return true;
    }
    if (section != QLatin1String("faults"))
        return true;
    if (key == QLatin1String("unreadable"))
        return parseRanges(value, &drive.faults.unreadable);
    if (key == QLatin1String("flaky"))
        return parseRanges(value, &drive.faults.flaky);
    if (key == QLatin1String("jitter"))
        return parseRanges(value, &drive.faults.jitter);
    return true;
}

} // namespace

std::optional<DriveDescription> parseDriveDescription(const QByteArray &text, const QString &folder,
                                                      QString *error)
{
    DriveDescription drive;
    QString section;
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = withoutComment(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed().toLower();
        if (equals < 0 || !takeValue(drive, section, key, line.mid(equals + 1).trimmed(), folder)) {
            *error = QStringLiteral("line %1: not understood: %2").arg(i + 1).arg(line.left(80));
            return std::nullopt;
        }
    }
    if (drive.image.isEmpty()) {
        *error = QStringLiteral("no image named in [drive]");
        return std::nullopt;
    }
    return drive;
}

std::optional<DriveDescription> readDriveDescription(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    if (file.size() > kMaxFileBytes) {
        *error = QStringLiteral("too large for a drive description");
        return std::nullopt;
    }
    std::optional<DriveDescription> drive =
        parseDriveDescription(file.readAll(), QFileInfo(path).absolutePath(), error);
    if (!drive)
        *error = QFileInfo(path).fileName() + QStringLiteral(": ") + *error;
    return drive;
}

bool isDriveDescriptionPath(const QString &path)
{
    return path.endsWith(QLatin1String(".drive"), Qt::CaseInsensitive);
}
