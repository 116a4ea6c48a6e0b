#include "rip/cue_writer.h"

#include "disc/cd_disc.h"
#include "disc/disc_codes.h"
#include "rip/output_naming.h"
#include "rip/rip_log.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace {

QString cueTime(int sectors)
{
    return sectorTime(sectors, QLatin1Char(':'));
}

// A double quote would end the string, and libcue keeps an escaping backslash in the text:
// it becomes a single quote.
QString withoutDoubleQuotes(QString text)
{
    return text.replace(QLatin1Char('"'), QLatin1Char('\''));
}

// A backslash before the closing quote would make libcue read on to the next quote in the
// sheet: a blank goes between them, which readers trim off a value.
QString quoted(const QString &text)
{
    const QString inner = withoutDoubleQuotes(text);
    const QString blank = inner.endsWith(QLatin1Char('\\')) ? QStringLiteral(" ") : QString();
    return QLatin1Char('"') + inner + blank + QLatin1Char('"');
}

QString quotedName(const QString &name)
{
    return quoted(nameOnOneLine(name));
}

// The file as it is named: the rip's names hold no control characters (cleanName), and only a
// folder given with one is shown so that the sheet keeps its lines.
QString quotedFile(const QString &relativePath)
{
    const bool control = std::any_of(relativePath.cbegin(), relativePath.cend(), isControlCharacter);
    return quoted(control ? nameOnOneLine(relativePath) : relativePath);
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
        .arg(quotedFile(QDir(cueDirectory).relativeFilePath(track.path)),
             mp3 ? QStringLiteral("MP3") : QStringLiteral("WAVE"));
}

QString trackHead(const RipReport &report, const DiscCodes &codes, const RippedTrack &track)
{
    const int index = track.number - (report.toc.tracks.empty() ? 1 : report.toc.tracks.front().number);
    QString t = QStringLiteral("  TRACK %1 AUDIO\n").arg(track.number, 2, 10, QLatin1Char('0'));
    t += QStringLiteral("    TITLE %1\n    PERFORMER %2\n")
             .arg(quotedName(track.title), quotedName(report.artist));
    const QString isrc = codes.isrcs.value(index);
    if (!isrc.isEmpty())
        t += QStringLiteral("    ISRC %1\n").arg(isrc);
    return t;
}

// An enhanced CD's data track: last on the disc, in a session of its own after the audio.
// Empty when the disc has none, or when the rip leaves out the last audio track (the sheet
// then cannot say where the audio session ends).
std::optional<CdTocTrack> sessionDataTrack(const RipReport &report)
{
    const std::vector<CdTocTrack> &toc = report.toc.tracks;
    if (toc.size() < 2 || toc.back().audio || !toc[toc.size() - 2].audio || report.tracks.isEmpty()
        || report.tracks.last().number != toc[toc.size() - 2].number)
        return std::nullopt;
    return toc.back();
}

// As EAC writes it: its length in a REM, and the track itself with INDEX 00 only, at the end
// of the last audio file. A reader puts it a session gap after the audio, where the disc has
// it, so that the freedb and AccurateRip IDs that count it come out as the disc's.
QString dataTrackLines(const RipReport &report, const CdTocTrack &data)
{
    const CdTocTrack &last = report.toc.tracks[report.toc.tracks.size() - 2];
    const int audioEnd = std::min(last.firstLsn + last.sectors, data.firstLsn - kSessionGapSectors);
    return QStringLiteral("  TRACK %1 MODE1/2352\n    INDEX 00 %2\n")
        .arg(data.number, 2, 10, QLatin1Char('0'))
        .arg(cueTime(std::max(0, audioEnd - last.firstLsn)));
}

} // namespace

QString cueSheetName(const QString &name)
{
    return withoutDoubleQuotes(nameOnOneLine(name)).trimmed();
}

QString cueSheetText(const RipReport &report, const DiscCodes &codes, const QString &cueDirectory)
{
    QString t = QStringLiteral("REM COMMENT \"Harvelo %1\"\n").arg(QStringLiteral(HARVELO_VERSION));
    const std::optional<CdTocTrack> data = sessionDataTrack(report);
    if (data)
        t += QStringLiteral("REM DATATRACKLENGTH %1\n").arg(cueTime(data->sectors));
    if (!codes.catalog.isEmpty())
        t += QStringLiteral("CATALOG %1\n").arg(codes.catalog);
    t += QStringLiteral("PERFORMER %1\nTITLE %2\n").arg(quotedName(report.artist), quotedName(report.album));
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
    if (data)
        t += dataTrackLines(report, *data);
    return t;
}
