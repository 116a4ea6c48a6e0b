#include "rip/cue_writer.h"

#include "disc/disc_codes.h"
#include "rip/rip_log.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString cueTime(int sectors)
{
    return sectorTime(sectors, QLatin1Char(':'));
}

// A quoted cue string; a double quote inside would end it early.
QString quoted(QString text)
{
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

const CdTocTrack *tocTrack(const RipReport &report, int number)
{
    for (const CdTocTrack &track : report.toc.tracks) {
        if (track.number == number)
            return &track;
    }
    return nullptr;
}

QString fileLine(const RippedTrack &track, const QString &cueDirectory)
{
    const bool mp3 = track.path.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive);
    return QStringLiteral("FILE %1 %2\n")
        .arg(quoted(QDir(cueDirectory).relativeFilePath(track.path)),
             mp3 ? QStringLiteral("MP3") : QStringLiteral("WAVE"));
}

QString trackHead(const RipReport &report, const DiscCodes &codes, const RippedTrack &track)
{
    const int index = track.number - (report.toc.tracks.empty() ? 1 : report.toc.tracks.front().number);
    QString t = QStringLiteral("  TRACK %1 AUDIO\n").arg(track.number, 2, 10, QLatin1Char('0'));
    t += QStringLiteral("    TITLE %1\n    PERFORMER %2\n").arg(quoted(track.title), quoted(report.artist));
    const QString isrc = codes.isrcs.value(index);
    if (!isrc.isEmpty())
        t += QStringLiteral("    ISRC %1\n").arg(isrc);
    return t;
}

} // namespace

QString cueSheetText(const RipReport &report, const DiscCodes &codes, const QString &cueDirectory)
{
    QString t = QStringLiteral("REM COMMENT \"Harvelo %1\"\n").arg(QStringLiteral(HARVELO_VERSION));
    if (!codes.catalog.isEmpty())
        t += QStringLiteral("CATALOG %1\n").arg(codes.catalog);
    t += QStringLiteral("PERFORMER %1\nTITLE %2\n").arg(quoted(report.artist), quoted(report.album));
    const RippedTrack *previous = nullptr;
    for (const RippedTrack &track : report.tracks) {
        const CdTocTrack *toc = tocTrack(report, track.number);
        const int index = toc ? int(toc - report.toc.tracks.data()) : -1;
        const int pregap = std::max(0, int(codes.pregapSectors.value(index)));
        const CdTocTrack *before = previous ? tocTrack(report, previous->number) : nullptr;
        // The pregap lies at the end of the previous track's file when that file was written.
        const bool gapInPrevious = before && pregap > 0 && previous->number == track.number - 1
            && pregap < before->sectors;
        if (gapInPrevious)
            t += trackHead(report, codes, track) + QStringLiteral("    INDEX 00 %1\n").arg(cueTime(before->sectors - pregap));
        t += fileLine(track, cueDirectory);
        if (!gapInPrevious) {
            t += trackHead(report, codes, track);
            if (index == 0 && toc && toc->firstLsn > 0)
                t += QStringLiteral("    PREGAP %1\n").arg(cueTime(toc->firstLsn));
        }
        t += QStringLiteral("    INDEX 01 00:00:00\n");
        previous = &track;
    }
    return t;
}
