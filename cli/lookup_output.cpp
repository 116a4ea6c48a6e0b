#include "cli/lookup_output.h"

#include "disc/audio_grabber.h"
#include "rip/rip_log.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QCommandLineOption>
#include <cstdio>

const QCommandLineOption &releaseOption()
{
    static const QCommandLineOption option(
        QStringLiteral("release"),
        QStringLiteral("The MusicBrainz release (MBID) to name the disc after, when several hold it."),
        QStringLiteral("MBID"));
    return option;
}

void prepareLookup(AudioGrabber &grabber, const QString &release)
{
    const IniFile ini;
    grabber.setCddbTimeOut(ini.read(settings::cddbTimeout));
    grabber.setCddbServerAddress(ini.read(settings::cddbServer));
    grabber.setCddbCGIScript(ini.read(settings::cgiScript));
    grabber.setPreferredRelease(release);
}

QString releaseProblem(const AudioGrabber &grabber, const QString &release)
{
    if (release.isEmpty() || grabber.discNames().musicBrainz.releaseId == release)
        return {};
    return QStringLiteral("no MusicBrainz release %1 holds this disc").arg(release);
}

void printOnlineAnswers(const AudioGrabber &grabber)
{
    for (const QString &answer : grabber.onlineAnswers())
        std::fprintf(stderr, "harvelo-cli: %s\n", qPrintable(nameOnOneLine(answer)));
}

void printOtherReleases(const AudioGrabber &grabber, FILE *out)
{
    const QList<ReleaseCandidate> &candidates = grabber.releaseCandidates();
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (i == grabber.chosenRelease())
            continue;
        const ReleaseCandidate &c = candidates[i];
        QStringList fields{c.names.musicBrainz.releaseId, c.names.album, c.names.artist,
                           c.names.date, c.country, c.format, c.barcode};
        // Names from a server, one to a line whatever they hold.
        for (QString &field : fields)
            field = nameOnOneLine(field);
        std::fprintf(out, "other release: %s\n", qPrintable(fields.join(QLatin1Char('\t'))));
    }
}
