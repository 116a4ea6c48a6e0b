#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QString>

// A freedb entry from tests/data/freedb, without the line that names its source.
inline QByteArray freedbEntry(const QString &name)
{
    QFile file(QStringLiteral(HARVELO_TEST_DATA "/freedb/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray entry = file.readAll();
    return entry.mid(entry.indexOf('\n') + 1);
}

// The table of contents an entry's comments give: LBA offsets and the disc length in seconds.
struct EntryToc {
    QList<int> offsets;
    int seconds = 0;
};

inline EntryToc entryToc(const QByteArray &entry)
{
    EntryToc toc;
    bool inOffsets = false;
    static const QRegularExpression number(QStringLiteral("^#\\s*(\\d+)\\s*$"));
    static const QRegularExpression length(QStringLiteral("^# Disc length:\\s*(\\d+)"));
    for (const QByteArray &line : entry.split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        if (text.startsWith(QLatin1String("# Track frame offsets")))
            inOffsets = true;
        else if (const auto match = number.match(text); inOffsets && match.hasMatch())
            toc.offsets.append(match.captured(1).toInt());
        else if (const auto match = length.match(text); match.hasMatch())
            toc.seconds = match.captured(1).toInt();
        else
            inOffsets = inOffsets && text != QLatin1String("#");
    }
    return toc;
}
