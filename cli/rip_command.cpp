#include "cli/batch_convert.h"
#include "cli/cli_command.h"
#include "cli/console_rip_host.h"
#include "cli/lookup_output.h"

#include "rip/track_list_format.h"
#include "codec/audio_file.h"
#include "disc/audio_grabber.h"
#include "disc/cd_disc.h"
#include "tags/audio_information.h"
#include "codec/audio_transform.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "jobs/job_control.h"
#include "disc/cd_settings.h"
#include "rip/rip_job.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <optional>

namespace {

const char kHelp[] =
    "NAME\n"
    "    harvelo-cli rip - rip tracks of a CD or CD image without a window\n\n"
    "SYNOPSIS\n"
    "    harvelo-cli rip [--device D] [--tracks LIST] [--format mp3|wav|wma|ogg|flac|opus]\n"
    "                    [--output DIR] [--lookup [--release MBID]] [--offset N] [--test-and-copy]\n"
    "                    [--force] [-j N]\n\n"
    "DESCRIPTION\n"
    "    Rips as the rip window does, with the settings of harvelo.ini: the naming rule and\n"
    "    its replacements, the encoder settings, normalizing and tags. Beside the files it\n"
    "    writes <album>.log (checksums and AccurateRip verdicts) and <album>.cue unless\n"
    "    \"write log\" is not yes. Progress goes to stderr as a percentage per track.\n\n"
    "OPTIONS\n"
    "    --device D     Drive number (from 1, as 'harvelo-cli drives' lists them), device\n"
    "                   or image path. Default: \"cd unit\" + 1.\n"
    "    --tracks LIST  Tracks to rip, e.g. 1,3-5. Default: every audio track.\n"
    "    --format F     mp3, wav, wma, ogg, flac or opus. Default: \"output type\" (with\n"
    "                   \"lossless format\" and \"ogg codec\").\n"
    "    --output DIR   Output directory. Default: \"output directory\".\n"
    "    --lookup       Names on-line first (MusicBrainz, then the CDDB server), then\n"
    "                   CD-Text and cdplayer.ini. Default: CD-Text and cdplayer.ini only.\n"
    "                   When several MusicBrainz releases hold the disc, the others are\n"
    "                   listed on stderr as \"other release:\" lines.\n"
    "    --release MBID With --lookup: name the disc after this MusicBrainz release.\n"
    "    --offset N     Read offset in samples, -3000 to 3000. Default: \"read offset\"\n"
    "                   for a drive, 0 for an image.\n"
    "    --test-and-copy  Read each track twice and write the second read; the log gives\n"
    "                   both CRC32s, and a track whose two differ is suspicious. Default:\n"
    "                   \"test and copy\".\n"
    "    --force        Overwrite existing files; without it they are left and the rip\n"
    "                   fails.\n"
    "    -j N           Encode up to N tracks at a time while the disc is read on; the files\n"
    "                   are the same for any N. Default: \"encoder threads\" (0: one per\n"
    "                   processor).\n\n"
    "EXIT STATUS\n"
    "    0 when every track was ripped whole; 1 when a track failed, was cut short or\n"
    "    was left because its file exists, or on a bad argument.\n";

// "1,3-5" as a sorted set of track numbers within 1..count; nullopt when malformed.
std::optional<QList<int>> parseTracks(const QString &text, int count)
{
    QList<int> tracks;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.trimmed().split(QLatin1Char('-'));
        bool okFirst = false, okLast = false;
        const int first = ends.value(0).toInt(&okFirst);
        const int last = ends.size() == 2 ? ends[1].toInt(&okLast) : first;
        if (!okFirst || (ends.size() == 2 && !okLast) || ends.size() > 2 || first < 1
            || last > count || first > last)
            return std::nullopt;
        for (int t = first; t <= last; ++t) {
            if (!tracks.contains(t))
                tracks.append(t);
        }
    }
    std::sort(tracks.begin(), tracks.end());
    return tracks;
}

// A format's output type, the button it belongs to: FLAC is WAV's, Opus is OGG's.
std::optional<int> formatNumber(const QString &name)
{
    static const QStringList names{QStringLiteral("mp3"), QStringLiteral("wav"),
                                   QStringLiteral("wma"), QStringLiteral("ogg"),
                                   QStringLiteral("flac"), QStringLiteral("opus")};
    static const int types[] = {0, 1, 2, 3, 1, 3};
    const int index = names.indexOf(name);
    return index >= 0 ? std::optional(types[index]) : std::nullopt;
}

// The drive of --device: a number, or a path that is listed or added to the list.
bool selectDevice(AudioGrabber &grabber, const QString &device)
{
    bool isNumber = false;
    const int number = device.toInt(&isNumber);
    if (isNumber) {
        grabber.setDriveNum(number);
        return number >= 1 && number <= grabber.driveCount();
    }
    for (int n = 1; n <= grabber.driveCount(); ++n) {
        grabber.setDriveNum(n);
        if (QFileInfo(grabber.driveLetter()) == QFileInfo(device) || grabber.driveLetter() == device)
            return true;
    }
    QByteArray sources = qgetenv("HARVELO_CD_DEVICES");
    sources += (sources.isEmpty() ? "" : ":") + QFile::encodeName(QFileInfo(device).absoluteFilePath());
    qputenv("HARVELO_CD_DEVICES", sources);
    grabber.ReadTOC(); // lists the drives afresh
    grabber.setDriveNum(grabber.driveCount());
    return QFileInfo(grabber.driveLetter()) == QFileInfo(device);
}

// The rows the window would show for this disc, ticked as --tracks says.
RipSnapshot snapshotOf(AudioGrabber &grabber, const QList<int> &tracks)
{
    RipSnapshot s;
    for (int t = 1; t <= grabber.trackCount(); ++t) {
        grabber.setTrackNum(t);
        s.rows.append({tracks.contains(t), tracklist::trackName(grabber.trackTitle(), t),
                       tracklist::sizeText(grabber.trackSamples())});
    }
    s.artist = grabber.discArtist().isEmpty() ? QStringLiteral("Unknown Artist") : grabber.discArtist();
    s.album = grabber.discAlbum().isEmpty() ? QStringLiteral("Unknown Album") : grabber.discAlbum();
    s.genre = tracklist::genreIndex(grabber.discGenre().isEmpty() ? QStringLiteral("other") : grabber.discGenre());
    if (s.genre < 0)
        s.genreText = grabber.discGenre();
    s.names = grabber.discNames();
    return s;
}

struct RipOptions {
    QList<int> tracks;
    std::optional<QString> format; // lower case
    std::optional<QString> output;
    std::optional<int> offset;
    QString release;
    bool lookup = false;
    bool force = false;
    bool testAndCopy = false;
    std::optional<int> jobs;
};

std::optional<QString> readOptions(const QCommandLineParser &p, AudioGrabber &grabber, RipOptions &o)
{
    const auto value = [&p](const char *name) { return p.value(QString::fromLatin1(name)); };
    if (p.isSet(QStringLiteral("format"))) {
        o.format = value("format").toLower();
        if (!formatNumber(*o.format))
            return QStringLiteral("--format takes mp3, wav, wma, ogg, flac or opus");
    }
    if (p.isSet(QStringLiteral("output")))
        o.output = QDir(value("output")).absolutePath();
    if (p.isSet(QStringLiteral("offset"))) {
        bool ok = false;
        o.offset = value("offset").toInt(&ok);
        if (!ok || std::abs(*o.offset) > settings::kMaxReadOffset)
            return QStringLiteral("--offset takes a number from -%1 to %1").arg(settings::kMaxReadOffset);
    }
    QList<int> all;
    for (int t = 1; t <= grabber.trackCount(); ++t) {
        if (grabber.toc().tracks[size_t(t - 1)].audio)
            all.append(t);
    }
    o.tracks = all;
    if (p.isSet(QStringLiteral("tracks"))) {
        const auto chosen = parseTracks(value("tracks"), grabber.trackCount());
        if (!chosen)
            return QStringLiteral("--tracks takes track numbers and ranges such as 1,3-5");
        o.tracks = *chosen;
    }
    o.lookup = p.isSet(QStringLiteral("lookup"));
    o.release = p.value(releaseOption());
    if (!o.release.isEmpty() && !o.lookup)
        return QStringLiteral("--release takes effect with --lookup only");
    o.force = p.isSet(QStringLiteral("force"));
    o.testAndCopy = p.isSet(QStringLiteral("test-and-copy"));
    return readJobs(p, &o.jobs);
}

// On-line first with --lookup, then CD-Text and cdplayer.ini. False (after telling why) when the
// release asked for does not hold the disc.
bool lookUpNames(AudioGrabber &grabber, const RipOptions &o)
{
    prepareLookup(grabber, o.release);
    if (o.lookup && grabber.QueryDiscInfo(1)) {
        printOtherReleases(grabber, stderr);
    } else {
        if (o.lookup)
            printOnlineAnswers(grabber);
        grabber.QueryDiscInfo(2);
    }
    if (const QString problem = releaseProblem(grabber, o.release); !problem.isEmpty()) {
        failWith(problem);
        return false;
    }
    return true;
}

int ripWith(AudioGrabber &grabber, const RipOptions &o)
{
    AudioFile file;
    AudioTransform transform;
    AudioInformation information;
    RipSnapshot snapshot = snapshotOf(grabber, o.tracks);
    snapshot.outputType = o.format ? *formatNumber(*o.format) : IniFile().read(settings::outputType);
    if (o.format)
        snapshot.extension = QLatin1Char('.') + *o.format;
    snapshot.outputDirectory = o.output;
    if (o.testAndCopy)
        snapshot.testAndCopy = true;
    snapshot.encoderThreads = o.jobs;
    const bool wma = *snapshot.outputType == 2;
    if (wma) {
        file.setWmaFormatEnabled(true);
        file.SetWmaFormat(IniFile().read(settings::wmaFormat));
    }
    ConsoleRipHost host(o.force);
    JobControl control;
    RipJob(wma ? RipPlace::WindowThread : RipPlace::Worker, {grabber, file, transform, information},
           snapshot, host, control)
        .run();
    try {
        return host.exitStatus();
    } catch (const std::exception &error) {
        return failWith(QString::fromLocal8Bit(error.what()));
    }
}

int runRip(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("device"), QStringLiteral("Drive number, device or image."), QStringLiteral("D")},
        {QStringLiteral("tracks"), QStringLiteral("Tracks, e.g. 1,3-5."), QStringLiteral("LIST")},
        {QStringLiteral("format"), QStringLiteral("mp3, wav, wma, ogg, flac or opus."), QStringLiteral("F")},
        {QStringLiteral("output"), QStringLiteral("Output directory."), QStringLiteral("DIR")},
        {QStringLiteral("offset"), QStringLiteral("Read offset in samples."), QStringLiteral("N")},
        {QStringLiteral("lookup"), QStringLiteral("Names from MusicBrainz and CDDB, then local.")},
        {QStringLiteral("test-and-copy"), QStringLiteral("Read each track twice, write the second read.")},
        {QStringLiteral("force"), QStringLiteral("Overwrite existing files.")},
        jobsOption(QStringLiteral("Encode N tracks at a time.")),
    });
    parser.addOption(releaseOption());
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::printf("%s", kHelp);
        return 0;
    }
    int status = 0;
    if (!parseArgs(parser, args, 0, &status))
        return status;
    AudioGrabber grabber;
    const IniFile ini;
    applyCdSettings(grabber, ini);
    if (parser.isSet(QStringLiteral("device"))
        && !selectDevice(grabber, parser.value(QStringLiteral("device"))))
        return failWith(QStringLiteral("no drive or image %1").arg(parser.value(QStringLiteral("device"))));
    // An image named here reads with offset 0 unless --offset says otherwise.
    applyReadOffset(grabber, ini);
    grabber.ReadTOC();
    if (grabber.trackCount() == 0)
        return failWith(QStringLiteral("no audio disc in drive %1").arg(grabber.driveNum()));
    RipOptions options;
    if (const auto bad = readOptions(parser, grabber, options))
        return failWith(*bad);
    if (options.offset)
        grabber.setReadOffset(*options.offset);
    if (!lookUpNames(grabber, options))
        return 1;
    return ripWith(grabber, options);
}

const CliRegistration registration{
    {"rip", "rip [--device D] [--tracks LIST] [--format F] [--output DIR] [--lookup [--release MBID]] [--offset N] [--test-and-copy] [--force] [-j N]",
     &runRip},
};

} // namespace
