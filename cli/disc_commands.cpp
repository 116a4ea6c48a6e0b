#include "cli/cli_command.h"

#include "disc/accuraterip_disc_id.h"
#include "disc/audio_grabber.h"
#include "disc/disc_codes.h"
#include "rip/rip_log.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QCommandLineParser>
#include <cstdio>

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
        "path and name, separated by tabs."));
    int status = 0;
    if (!parseArgs(parser, args, 0, &status))
        return status;
    AudioGrabber grabber;
    for (int n = 1; n <= grabber.driveCount(); ++n) {
        grabber.setDriveNum(n);
        std::printf("%d\t%s\t%s\n", n, qPrintable(nameOnOneLine(grabber.driveLetter())),
                    qPrintable(nameOnOneLine(grabber.driveName())));
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

int runLookup(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Looks the disc up on the CDDB server of harvelo.ini (\"cddb server\", \"cgi script\",\n"
        "\"timeout\"), or with --local in its CD-Text and cdplayer.ini."));
    parser.addOption({QStringLiteral("local"), QStringLiteral("Use the local source.")});
    AudioGrabber grabber;
    int status = 0;
    if (!readDisc(grabber, args, parser, &status))
        return status;
    const IniFile ini;
    grabber.setCddbTimeOut(ini.read(settings::cddbTimeout));
    grabber.setCddbServerAddress(ini.read(settings::cddbServer));
    grabber.setCddbCGIScript(ini.read(settings::cgiScript));
    if (!grabber.QueryDiscInfo(parser.isSet(QStringLiteral("local")) ? 2 : 1))
        return failWith(QStringLiteral("Could not find freedb info!"));
    // Names from a server, one to a line whatever they hold.
    std::printf("artist: %s\nalbum: %s\ngenre: %s\n", qPrintable(nameOnOneLine(grabber.discArtist())),
                qPrintable(nameOnOneLine(grabber.discAlbum())),
                qPrintable(nameOnOneLine(grabber.discGenre())));
    for (int k = 1; k <= grabber.trackCount(); ++k) {
        grabber.setTrackNum(k);
        std::printf("%d: %s\n", k, qPrintable(nameOnOneLine(grabber.trackTitle())));
    }
    return 0;
}

const CliRegistration registration{
    {"drives", "drives", &runDrives},
    {"toc", "toc [--drive N]", &runToc},
    {"lookup", "lookup [--drive N] [--local]", &runLookup},
};

} // namespace
