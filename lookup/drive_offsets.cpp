#include "lookup/drive_offsets.h"

#include "jobs/part_file.h"
#include "lookup/http_fetcher.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

namespace {

constexpr int kNameBytes = 32;

QString matchKey(const QString &vendor, const QString &model)
{
    return (vendor.simplified() + QStringLiteral(" - ") + model.simplified()).toCaseFolded();
}

QByteArray readCache()
{
    QFile file(DriveOffsetList::cachePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(DriveOffsetList::kMaxBytes);
}

// Whole or not at all, so that a reader never sees half a list.
void writeCache(const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(DriveOffsetList::cachePath()).path());
    writeWholeFile(DriveOffsetList::cachePath(), bytes);
}

} // namespace

DriveOffsetList DriveOffsetList::parse(const QByteArray &bytes)
{
    DriveOffsetList list;
    const qsizetype records = std::min<qint64>(bytes.size(), kMaxBytes) / kRecordBytes;
    list.m_entries.reserve(size_t(records));
    for (qsizetype i = 0; i < records; ++i) {
        const char *record = bytes.constData() + i * kRecordBytes;
        const int offset = qFromLittleEndian<qint16>(record);
        const QByteArray text(record + 2, kNameBytes);
        const QString name = QString::fromLatin1(text.left(text.indexOf('\0') < 0 ? kNameBytes : text.indexOf('\0')));
        if (!name.trimmed().isEmpty())
            list.m_entries.push_back({name, offset});
    }
    return list;
}

QString DriveOffsetList::cachePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QDir(base).filePath(QStringLiteral("harvelo/DriveOffsets.bin"));
}

bool DriveOffsetList::cacheIsStale()
{
    const QFileInfo info(cachePath());
    return !info.isFile() || info.lastModified().daysTo(QDateTime::currentDateTime()) >= kMaxAgeDays;
}

DriveOffsetList DriveOffsetList::cached()
{
    return parse(readCache());
}

DriveOffsetList DriveOffsetList::load(const QString &server, int timeoutMs)
{
    if (cacheIsStale()) {
        const QUrl url = serverUrl(server, QStringLiteral("/accuraterip/DriveOffsets.bin"));
        HttpFetcher fetcher(url);
        const std::optional<QByteArray> body = fetcher.get(url, QDeadlineTimer(std::max(1, timeoutMs)), kMaxBytes);
        // A reply that holds no drive is no list: the old one stays.
        if (body && !parse(*body).entries().empty())
            writeCache(*body);
    }
    return cached();
}

std::optional<int> DriveOffsetList::find(const QString &vendor, const QString &model) const
{
    const QString key = matchKey(vendor, model);
    for (const DriveOffsetEntry &entry : m_entries) {
        const qsizetype dash = entry.name.indexOf(QStringLiteral(" - "));
        const QString entryKey = dash < 0 ? entry.name.simplified().toCaseFolded()
                                          : matchKey(entry.name.left(dash), entry.name.mid(dash + 3));
        if (entryKey == key)
            return entry.offset;
    }
    return std::nullopt;
}

QString signedOffsetText(int offset)
{
    return offset > 0 ? QStringLiteral("+%1").arg(offset) : QString::number(offset);
}
