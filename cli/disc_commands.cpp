#include "cli/cli_command.h"
#include "cli/lookup_output.h"

#include "disc/accuraterip_disc_id.h"
#include "disc/audio_grabber.h"
#include "disc/disc_codes.h"
#include "lookup/drive_offsets.h"
#include "lookup/offset_finder.h"
#include "rip/rip_log.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QCommandLineParser>
#include <cstdio>
#include <optional>

namespace {

const QCommandLineOption &driveOption()
{
    static const QCommandLineOption option(
        QStringLiteral("drive"), QStringLiteral("Drive number, from 1 (default: \"cd unit\" + 1)."),
        QStringLiteral("N"));
    return option;
}

// The drive of --drive, else the window's "cd unit" + 1; false after a bad number.
bool selectDrive(AudioGrabber &grabber, const QCommandLineParser &parser, int *status)
{
    int drive = IniFile().read(settings::cdUnit) + 1;
    if (parser.isSet(driveOption())) {
        bool ok = false;
        drive = parser.value(driveOption()).toInt(&ok);
        if (!ok || drive < 1) {
            *status = failWith(QStringLiteral("--drive takes a number from 1"));
            return false;
        }
    }
    grabber.setDriveNum(drive);
    return true;
}

// Parses the options and reads the table of contents of the chosen drive.
bool readDisc(AudioGrabber &grabber, const QStringList &args, QCommandLineParser &parser, int *status)
{
    parser.addOption(driveOption());
    if (!parseArgs(parser, args, 0, status) || !selectDrive(grabber, parser, status))
        return false;
    grabber.ReadTOC();
    return true;
}

// "no audio disc in drive N", and why when the drive is an image that is not valid.
QString noDiscMessage(const AudioGrabber &grabber)
{
    const QString message = QStringLiteral("no audio disc in drive %1").arg(grabber.driveNum());
    return grabber.discError().isEmpty() ? message : message + QStringLiteral(": ") + grabber.discError();
}

int runDrives(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the CD drives, then the sources of HARVELO_CD_DEVICES: number, device or image\n"
        "path and name, separated by tabs. A drive whose own read offset was never set gets\n"
        "a fourth field with the offset of AccurateRip's drive database, when it has one."));
    int status = 0;
    if (!parseArgs(parser, args, 0, &status))
        return status;
    AudioGrabber grabber;
    const IniFile ini;
    std::optional<DriveOffsetList> offsets;
    for (int n = 1; n <= grabber.driveCount(); ++n) {
        grabber.setDriveNum(n);
        std::printf("%d\t%s\t%s", n, qPrintable(nameOnOneLine(grabber.driveLetter())),
                    qPrintable(nameOnOneLine(grabber.driveName())));
        if (!grabber.driveVendor().isEmpty() && !offsets)
            offsets = DriveOffsetList::load(ini.read(settings::accurateRipServer), ini.read(settings::cddbTimeout));
        const std::optional<int> proposed =
            offsets ? proposedReadOffset(*offsets, ini, grabber.driveVendor(), grabber.driveModel()) : std::nullopt;
        if (proposed)
            std::printf("\t%s", qPrintable(nameOnOneLine(
                                    proposedReadOffsetText(*proposed, grabber.driveVendor(), grabber.driveModel()))));
        std::printf("\n");
    }
    return 0;
}

int runToc(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the disc's freedb ID, its track count and per track: number, length in\n"
        "milliseconds and stereo frames; last its AccurateRip and MusicBrainz disc IDs."));
    AudioGrabber grabber;
    int status = 0;
    if (!readDisc(grabber, args, parser, &status))
        return status;
    if (grabber.trackCount() == 0)
        return failWith(noDiscMessage(grabber));
    std::printf("discid %s\ntracks %d\n", qPrintable(grabber.discId()), grabber.trackCount());
    for (int k = 1; k <= grabber.trackCount(); ++k) {
        grabber.setTrackNum(k);
        std::printf("%d %d %d\n", k, grabber.trackLength(), grabber.trackSamples());
    }
    std::printf("accuraterip %s\nmusicbrainz %s\n",
                qPrintable(AccurateRipDiscId::fromToc(grabber.toc()).text()),
                qPrintable(musicBrainzDiscId(grabber.toc())));
    return 0;
}

// The names as the window would show them, then the other releases that hold the disc.
void printNames(AudioGrabber &grabber)
{
    // Names from a server, one to a line whatever they hold.
    const DiscNames &names = grabber.discNames();
    std::printf("artist: %s\nalbum: %s\ngenre: %s\nyear: %s\n", qPrintable(nameOnOneLine(grabber.discArtist())),
                qPrintable(nameOnOneLine(grabber.discAlbum())), qPrintable(nameOnOneLine(grabber.discGenre())),
                qPrintable(names.year()));
    if (names.discNumber > 0)
        std::printf("disc: %d/%d\n", names.discNumber, names.discTotal);
    std::printf("source: %s\n", qPrintable(nameOnOneLine(grabber.namesSource())));
    for (int k = 1; k <= grabber.trackCount(); ++k) {
        grabber.setTrackNum(k);
        std::printf("%d: %s\n", k, qPrintable(nameOnOneLine(grabber.trackTitle())));
    }
    printOtherReleases(grabber, stdout);
}

int runLookup(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Looks the disc up on-line: on MusicBrainz (\"musicbrainz\", \"musicbrainz server\" of\n"
        "harvelo.ini), then on the CDDB server (\"cddb server\", \"cgi script\", \"timeout\"); or\n"
        "with --local in its CD-Text and cdplayer.ini. Prints the names and where they came\n"
        "from; when several MusicBrainz releases hold the disc, the others follow as\n"
        "\"other release:\" lines, and --release names the disc after one of them."));
    parser.addOption({QStringLiteral("local"), QStringLiteral("Use the local source.")});
    parser.addOption(releaseOption());
    AudioGrabber grabber;
    int status = 0;
    if (!readDisc(grabber, args, parser, &status))
        return status;
    const QString release = parser.value(releaseOption());
    prepareLookup(grabber, release);
    if (!grabber.QueryDiscInfo(parser.isSet(QStringLiteral("local")) ? 2 : 1)) {
        printOnlineAnswers(grabber);
        return failWith(QStringLiteral("Could not find freedb info!"));
    }
    if (const QString problem = releaseProblem(grabber, release); !problem.isEmpty())
        return failWith(problem);
    printNames(grabber);
    return 0;
}

const CliRegistration registration{
    {"drives", "drives", &runDrives},
    {"toc", "toc [--drive N]", &runToc},
    {"lookup", "lookup [--drive N] [--local] [--release MBID]", &runLookup},
};

} // namespace
