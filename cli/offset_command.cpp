#include "cli/cli_command.h"

#include "disc/accuraterip_disc_id.h"
#include "disc/audio_grabber.h"
#include "disc/cd_settings.h"
#include "lookup/accuraterip_client.h"
#include "lookup/drive_offsets.h"
#include "lookup/offset_finder.h"
#include "rip/rip_log.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QCommandLineParser>
#include <cstdio>

namespace {

const char kDescription[] =
    "With --find, finds the read offset of the drive (--drive N, default \"cd unit\" + 1) on a\n"
    "disc that the AccurateRip database knows: the common offsets first, then every offset\n"
    "within -3000 to 3000, until a track's v1 or v2 checksum is the database's. Prints the\n"
    "offset and the confidence; --save stores it as the drive's \"read offset <vendor> <model>\"\n"
    "(\"read offset\" for a drive without a name).";

int saveOffset(const AudioGrabber &grabber, int offset)
{
    IniFile ini;
    try {
        if (grabber.driveVendor().isEmpty() && grabber.driveModel().isEmpty()) {
            ini.write(settings::readOffset, offset);
            std::printf("saved as \"%s\"\n", settings::readOffset.key);
        } else {
            writeOwnReadOffset(ini, grabber.driveVendor(), grabber.driveModel(), offset);
            std::printf("saved as \"%s\"\n",
                        qPrintable(nameOnOneLine(settings::readOffsetKeyOf(grabber.driveVendor(), grabber.driveModel()))));
        }
    } catch (const IniWriteError &error) {
        return failWith(QString::fromLocal8Bit(error.what()));
    }
    return 0;
}

int findOffset(AudioGrabber &grabber, bool save)
{
    const IniFile ini;
    const AccurateRipAnswer answer = AccurateRipClient(ini.read(settings::accurateRipServer), ini.read(settings::cddbTimeout))
                                         .lookup(AccurateRipDiscId::fromToc(grabber.toc()));
    if (answer.status != AccurateRipAnswer::Found)
        return failWith(QStringLiteral("the AccurateRip database does not know this disc, or did not answer"));
    grabber.setGrabModePreset(ini.read(settings::grabMode));
    grabber.setGrabOnErrorRetries(ini.read(settings::errorRetry));
    const std::optional<FoundOffset> found = findReadOffset(grabber, answer.pressings);
    if (!found)
        return failWith(QStringLiteral("no read offset within -3000 to 3000 matches the database"));
    std::printf("read offset %s (track %d: %s)\n", qPrintable(signedOffsetText(found->offset)), found->track,
                qPrintable(found->verdict.text()));
    return save ? saveOffset(grabber, found->offset) : 0;
}

int runOffset(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addOption({QStringLiteral("drive"), QStringLiteral("Drive number, from 1."), QStringLiteral("N")});
    parser.addOption({QStringLiteral("find"), QStringLiteral("Find the offset on the disc in the drive.")});
    parser.addOption({QStringLiteral("save"), QStringLiteral("Store what --find found.")});
    int status = 0;
    if (!parseArgs(parser, args, 0, &status))
        return status;
    if (!parser.isSet(QStringLiteral("find")))
        return failWith(QStringLiteral("offset needs --find"));
    AudioGrabber grabber;
    bool ok = true;
    const int drive = parser.isSet(QStringLiteral("drive")) ? parser.value(QStringLiteral("drive")).toInt(&ok)
                                                             : IniFile().read(settings::cdUnit) + 1;
    if (!ok || drive < 1 || drive > grabber.driveCount())
        return failWith(QStringLiteral("--drive takes a drive number from 1 to %1").arg(grabber.driveCount()));
    grabber.setDriveNum(drive);
    grabber.ReadTOC();
    if (grabber.trackCount() == 0)
        return failWith(QStringLiteral("no audio disc in drive %1").arg(drive));
    return findOffset(grabber, parser.isSet(QStringLiteral("save")));
}

const CliRegistration registration{
    {"offset", "offset --find [--drive N] [--save]", &runOffset},
};

} // namespace
