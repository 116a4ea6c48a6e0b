#include "rip/rip_track_result.h"

#include "rip/rip_log.h"

#include <QStringList>

namespace {

// What the error action did with the audio it could not read.
QString lossWord(int errorAction)
{
    switch (errorAction) {
    case 0: return QStringLiteral("skipped");
    case 1: return QStringLiteral("replaced by silence");
    case 3: return QStringLiteral("guessed");
    default: return QStringLiteral("cut");
    }
}

} // namespace

QString readLossReport(const QList<RipTrackResult> &results)
{
    QStringList lines;
    for (const RipTrackResult &r : results) {
        if (r.outcome != RipTrackResult::Outcome::Saved || r.lostFrames <= 0)
            continue;
        // One pass over the pattern: a title holding "%3" stays as it is; one holding a line
        // break cannot start a line of its own.
        lines << QStringLiteral("Track %1 (%2): %3 s %4")
                     .arg(QString::number(r.track), nameOnOneLine(r.title),
                          QString::number(double(r.lostFrames) / 44100, 'f', 2),
                          lossWord(r.errorAction));
    }
    if (lines.isEmpty())
        return {};
    lines.prepend(QStringLiteral("Some audio could not be read:"));
    return lines.join(QLatin1Char('\n'));
}

QString testAndCopyReport(const QList<RipTrackResult> &results)
{
    QStringList lines;
    for (const RipTrackResult &r : results) {
        if (r.outcome == RipTrackResult::Outcome::Saved && r.suspicious())
            lines << QStringLiteral("Track %1 (%2): Test CRC32 %3, Copy CRC32 %4, suspicious")
                         .arg(QString::number(r.track), nameOnOneLine(r.title), hex8(*r.testCrc32), hex8(r.copyCrc32));
    }
    if (lines.isEmpty())
        return {};
    lines.prepend(QStringLiteral("Test and copy read some tracks differently:"));
    return lines.join(QLatin1Char('\n'));
}
