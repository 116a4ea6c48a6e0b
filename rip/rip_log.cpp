#include "rip/rip_log.h"

#include "rip/output_naming.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace {

QString hex8(uint32_t value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

QString readModeText(int mode)
{
    if (mode >= 3)
        return QStringLiteral("%1 (full paranoia%2)").arg(mode).arg(mode >= 4 ? QStringLiteral(", small reads") : QString());
    if (mode == 2)
        return QStringLiteral("2 (jitter correction)");
    return QStringLiteral("%1 (straight)").arg(mode);
}

QString errorActionText(int action)
{
    static const QStringList names{QStringLiteral("Stop"), QStringLiteral("Silence"),
                                   QStringLiteral("Cut"), QStringLiteral("Correct")};
    return names.value(action, QString::number(action));
}

QString accurateRipStatusText(const RipReport &r)
{
    switch (r.accurateRipStatus) {
    case AccurateRipAnswer::Found:
        return QStringLiteral("found");
    case AccurateRipAnswer::NotPresent:
        return QStringLiteral("disc not present in the database");
    case AccurateRipAnswer::Broken:
        return QStringLiteral("not checked (the answer was not a database file)");
    case AccurateRipAnswer::OtherDisc:
        return QStringLiteral("not checked (the answer was for another disc)");
    default:
        return QStringLiteral("not checked (no answer)");
    }
}

QString headText(const RipReport &r)
{
    QString t;
    t += QStringLiteral("Harvelo %1 rip log\n").arg(QStringLiteral(HARVELO_VERSION));
    t += QStringLiteral("Date: %1\n\n").arg(r.date.toString(Qt::ISODate));
    t += QStringLiteral("Drive: %1\nImage or device: %2\n")
             .arg(nameOnOneLine(r.driveName), nameOnOneLine(r.drivePath));
    t += QStringLiteral("Read mode: %1\nRetries: %2\nError action: %3\n")
             .arg(readModeText(r.grabMode)).arg(r.retries).arg(errorActionText(r.errorAction));
    t += QStringLiteral("Speed: %1\nRead offset: %2 samples\n\n").arg(r.speed).arg(r.readOffset);
    return t;
}

QString tocText(const RipReport &r)
{
    QString t = QStringLiteral("Table of contents\n  Track  Start     Length    Start sector  End sector  Sectors\n");
    for (const CdTocTrack &track : r.toc.tracks) {
        t += QStringLiteral("  %1  %2  %3  %4  %5  %6%7\n")
                 .arg(track.number, 5)
                 .arg(sectorTime(track.firstLsn), 8)
                 .arg(sectorTime(track.sectors), 8)
                 .arg(track.firstLsn, 12)
                 .arg(track.firstLsn + track.sectors - 1, 10)
                 .arg(track.sectors, 7)
                 .arg(track.audio ? QString() : QStringLiteral("  data"));
    }
    t += QStringLiteral("  Lead-out at sector %1\n\n").arg(r.toc.leadoutLsn);
    t += QStringLiteral("freedb ID: %1\nAccurateRip ID: %2\nMusicBrainz ID: %3\n")
             .arg(r.freedbId, r.accurateRipId.text(), r.musicBrainzId);
    t += QStringLiteral("AccurateRip database: %1\n\n").arg(accurateRipStatusText(r));
    return t;
}

QString namesText(const RipReport &r)
{
    const QString source = r.namesSource.isEmpty() ? QStringLiteral("as entered") : r.namesSource;
    return QStringLiteral("Names (%1)\n  Artist: %2\n  Album: %3\n\n")
        .arg(nameOnOneLine(source), nameOnOneLine(r.artist), nameOnOneLine(r.album));
}

QString trackText(const RippedTrack &track)
{
    QString t = QStringLiteral("Track %1: %2\n").arg(track.number).arg(nameOnOneLine(track.title));
    t += QStringLiteral("  File: %1\n").arg(nameOnOneLine(track.path));
    t += QStringLiteral("  Peak: %1 %\n").arg(track.sums.peakPercent(), 0, 'f', 1);
    t += QStringLiteral("  CRC32: %1\n").arg(hex8(track.sums.crc32));
    t += QStringLiteral("  AccurateRip v1: %1\n").arg(hex8(track.sums.accurateRipV1));
    t += QStringLiteral("  AccurateRip v2: %1\n").arg(hex8(track.sums.accurateRipV2));
    t += QStringLiteral("  AccurateRip: %1\n").arg(track.verdict.text());
    t += QStringLiteral("  Samples not read: %1\n\n").arg(track.lostSamples);
    return t;
}

} // namespace

QString nameOnOneLine(const QString &name)
{
    constexpr char16_t kControlPictures = 0x2400; // U+2400 shows U+0000, U+2421 shows U+007F
    QString line = name;
    for (QChar &c : line) {
        const char16_t u = c.unicode();
        if (isControlCharacter(c))
            c = QChar(char16_t(u == 0x7F ? kControlPictures + 0x21 : kControlPictures + u));
        else if ((u >= 0x80 && u < 0xA0) || c.category() == QChar::Separator_Line
                 || c.category() == QChar::Separator_Paragraph)
            c = QChar::ReplacementCharacter;
    }
    return line;
}

QString sectorTime(int sectors, QLatin1Char frameSeparator)
{
    constexpr int kSectorsPerSecond = 75;
    return QStringLiteral("%1:%2%3%4")
        .arg(sectors / (60 * kSectorsPerSecond), 2, 10, QLatin1Char('0'))
        .arg(sectors / kSectorsPerSecond % 60, 2, 10, QLatin1Char('0'))
        .arg(frameSeparator)
        .arg(sectors % kSectorsPerSecond, 2, 10, QLatin1Char('0'));
}

int accurateTrackCount(const RipReport &report)
{
    const auto status = report.accurateRipStatus;
    if (status != AccurateRipAnswer::Found && status != AccurateRipAnswer::NotPresent)
        return -1;
    return int(std::count_if(report.tracks.cbegin(), report.tracks.cend(), [](const RippedTrack &t) {
        return t.verdict.kind == AccurateRipVerdict::Accurate;
    }));
}

QString ripSummary(const RipReport &report)
{
    const int accurate = accurateTrackCount(report);
    if (accurate < 0)
        return QStringLiteral("not checked");
    if (!report.tracks.isEmpty() && accurate == report.tracks.size())
        return QStringLiteral("All tracks accurately ripped");
    return QStringLiteral("%1 of %2 tracks accurate").arg(accurate).arg(report.tracks.size());
}

QString ripLogText(const RipReport &report)
{
    QString body = headText(report) + tocText(report) + namesText(report);
    for (const RippedTrack &track : report.tracks)
        body += trackText(track);
    const QByteArray hash = QCryptographicHash::hash(body.toUtf8(), QCryptographicHash::Sha256);
    return body + ripSummary(report) + QStringLiteral("\nSHA-256: ")
        + QString::fromLatin1(hash.toHex()) + QLatin1Char('\n');
}
