#include "rip/rip_log.h"

#include "rip/output_naming.h"
#include "settings/setting_choices.h"

#include <QCryptographicHash>
#include <QFileInfo>

QString hex8(uint32_t value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

namespace {

template <size_t N>
QString choiceText(const std::array<Choice, N> &list, int value)
{
    for (const Choice &choice : list) {
        if (choice.value == value)
            return QString::fromLatin1(choice.text);
    }
    return {};
}

// The value and its name on the CD settings page; a value the page does not offer is read as
// the nearest mode (0 straight, above 4 as 4).
QString readModeText(int mode)
{
    const QString name = choiceText(choices::grabModes, mode);
    if (!name.isEmpty())
        return QStringLiteral("%1 \"%2\"").arg(mode).arg(name);
    return QStringLiteral("%1, read as \"%2\"").arg(mode).arg(choiceText(choices::grabModes, std::clamp(mode, 1, 4)));
}

QString errorActionText(int action)
{
    const QString name = choiceText(choices::errorActions, action);
    return name.isEmpty() ? QString::number(action) : name;
}

QString orUnknown(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("unknown") : nameOnOneLine(text);
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
    t += QStringLiteral("Drive: %1\nDrive vendor: %2\nDrive model: %3\nImage or device: %4\n")
             .arg(nameOnOneLine(r.driveName), orUnknown(r.driveVendor), orUnknown(r.driveModel),
                  nameOnOneLine(r.drivePath));
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
    QString t = QStringLiteral("Names (%1)\n  Artist: %2\n  Album: %3\n")
                    .arg(nameOnOneLine(source), nameOnOneLine(r.artist), nameOnOneLine(r.album));
    for (const QString &answer : r.onlineAnswers)
        t += QStringLiteral("  Not found on-line: %1\n").arg(nameOnOneLine(answer));
    return t + QLatin1Char('\n');
}

// What was read from the disc: the sums the AccurateRip database verifies.
QStringList readLines(const RippedTrack &track)
{
    QStringList lines{QStringLiteral("Peak: %1 %").arg(track.sums.peakPercent(), 0, 'f', 1),
                      QStringLiteral("CRC32: %1").arg(hex8(track.sums.crc32))};
    if (track.testCrc32) {
        const bool same = *track.testCrc32 == track.sums.crc32;
        lines << QStringLiteral("Test CRC32: %1").arg(hex8(*track.testCrc32))
              << QStringLiteral("Copy CRC32: %1%2")
                     .arg(hex8(track.sums.crc32), same ? QString() : QStringLiteral("  suspicious"));
    }
    return lines << QStringLiteral("AccurateRip v1: %1").arg(hex8(track.sums.accurateRipV1))
                 << QStringLiteral("AccurateRip v2: %1").arg(hex8(track.sums.accurateRipV2))
                 << QStringLiteral("AccurateRip: %1").arg(track.verdict.text())
                 << QStringLiteral("Samples not read: %1").arg(track.lostSamples);
}

// What the file holds: it differs from what was read when normalized or lossy.
QStringList fileLines(const RippedTrack &track)
{
    const WrittenAudio &w = track.written;
    QStringList lines{QStringLiteral("Format: %1").arg(w.format), w.normalizationText(),
                      w.replayGainText()};
    if (w.crc32)
        lines << QStringLiteral("File CRC32: %1").arg(hex8(*w.crc32));
    return lines;
}

QString trackText(const RippedTrack &track)
{
    QString t = QStringLiteral("Track %1: %2\n").arg(track.number).arg(nameOnOneLine(track.title));
    t += QStringLiteral("  File: %1\n").arg(nameOnOneLine(track.path));
    t += QStringLiteral("  Read from the disc:\n");
    for (const QString &line : readLines(track))
        t += QStringLiteral("    ") + line + QLatin1Char('\n');
    t += QStringLiteral("  In the file:\n");
    for (const QString &line : fileLines(track))
        t += QStringLiteral("    ") + line + QLatin1Char('\n');
    return t + QLatin1Char('\n');
}

QString unrippedText(const UnrippedTrack &track)
{
    using Outcome = RipTrackResult::Outcome;
    const QString what = track.outcome == Outcome::Stopped ? QStringLiteral("stopped")
        : track.outcome == Outcome::Failed                  ? QStringLiteral("failed")
                                                            : QStringLiteral("skipped");
    return QStringLiteral("Track %1: %2\n  Not ripped: %3, no file written\n\n")
        .arg(track.number)
        .arg(nameOnOneLine(track.title), what);
}

// Every ticked track reached, ripped or not, in the disc's order.
QString tracksText(const RipReport &r)
{
    QList<std::pair<int, QString>> entries;
    for (const RippedTrack &track : r.tracks)
        entries.append({track.number, trackText(track)});
    for (const UnrippedTrack &track : r.unripped)
        entries.append({track.number, unrippedText(track)});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QString t;
    for (const auto &entry : entries)
        t += entry.second;
    return t;
}

// What the files hold beside what was read: "files normalized, not bit-identical to the disc".
QString filesSummary(const RipReport &r)
{
    bool normalized = false, lossy = false, asRead = true;
    for (const RippedTrack &t : r.tracks) {
        normalized = normalized || t.written.normalized();
        lossy = lossy || !t.written.lossless;
        asRead = asRead && t.written.crc32 && *t.written.crc32 == t.sums.crc32;
    }
    if (r.tracks.isEmpty())
        return QStringLiteral("no file written");
    if (normalized)
        return QStringLiteral("files normalized, not bit-identical to the disc");
    if (lossy)
        return QStringLiteral("files in a lossy format, not bit-identical to the disc");
    if (!asRead)
        return QStringLiteral("files differ from the audio read");
    if (accurateTrackCount(r) == r.tracks.size())
        return QStringLiteral("files bit-identical to the disc");
    return QStringLiteral("files bit-identical to the audio read");
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
    QString proof;
    if (accurate < 0)
        proof = QStringLiteral("AccurateRip not checked");
    else if (!report.tracks.isEmpty() && accurate == report.tracks.size())
        proof = QStringLiteral("All tracks accurately ripped");
    else
        proof = QStringLiteral("%1 of %2 tracks accurate").arg(accurate).arg(report.tracks.size());
    return proof + QStringLiteral("; ") + filesSummary(report);
}

QString ripLogText(const RipReport &report)
{
    QString body = headText(report) + tocText(report) + namesText(report) + tracksText(report);
    if (report.stopped)
        body += QStringLiteral("Rip stopped\n");
    body += QStringLiteral("Summary: ") + ripSummary(report) + QLatin1Char('\n');
    const QByteArray hash = QCryptographicHash::hash(body.toUtf8(), QCryptographicHash::Sha256);
    return body + QStringLiteral("SHA-256: ") + QString::fromLatin1(hash.toHex()) + QLatin1Char('\n');
}
