#include "gui/main/fm_main.h"

#include "gui/main/forms.h"
#include "gui/services/prompter.h"
#include "settings/encoder_settings.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QFileInfo>
#include <QStandardPaths>

// File conversion commands: each sets up the writer, lets the user choose the files in the
// shared open dialog and shows the job window modally.

namespace {

const char kWavFilter[] = "WAV File(*.wav)|*.wav";
const char kDecodeFilter[] = "(*.mp3,*.wma,*.ogg)|*.mp3;*.wma;*.ogg";

// Runs the shared dialog; the chosen files stay in OpenDialog for the job window.
bool chooseFiles(Tfm_main &main, const char *filter, const QString &title)
{
    Prompter::FileDialog dialog;
    dialog.title = title;
    dialog.setFilter(QString::fromLatin1(filter));
    dialog.multiSelect = true;
    // The folder last used, and the user's music before the first choice; never the working
    // folder, which means nothing to a program started from a menu.
    dialog.directory = main.openDialogDir.isEmpty()
                           ? QStandardPaths::writableLocation(QStandardPaths::MusicLocation)
                           : main.openDialogDir;
    main.OpenDialog = services::prompter().openFiles(dialog, &main);
    if (!main.OpenDialog.isEmpty())
        main.openDialogDir = QFileInfo(main.OpenDialog.first()).absolutePath();
    return !main.OpenDialog.isEmpty();
}

// A stored output folder that is not UTF-8 would become a look-alike folder: no job runs.
bool outputDirectoryUsable(Tfm_main &main)
{
    const IniFile ini;
    if (IniFile::isFaithfulPath(ini.read(settings::outputDirectory)))
        return true;
    services::prompter().error(ini.unfaithfulPathMessage(settings::outputDirectory), &main);
    return false;
}

void runEncode(Tfm_main &main, int encodeformat, const QString &title)
{
    const char *const formats[] = {"MP3", "WMA", "OGG"};
    if (!outputDirectoryUsable(main)
        || !chooseFiles(main, kWavFilter,
                        QStringLiteral("Choose WAV files to encode to ") + QLatin1String(formats[encodeformat])))
        return;
    fm_encode->encodeformat = encodeformat;
    fm_encode->setTitle(title);
    fm_encode->exec();
}

void runDecode(Tfm_main &main, const char *filter, const QString &dialogTitle, const QString &title)
{
    if (!outputDirectoryUsable(main) || !chooseFiles(main, filter, dialogTitle))
        return;
    fm_decode->setTitle(title);
    fm_decode->exec();
}

} // namespace

void Tfm_main::WavToMp3Click()
{
    waitForJobs();
    const auto mp3 = Mp3EncoderSettings::read(IniFile());
    AudioFilew.GetMp3Settings().VbrBitrate(mp3.vbrBitrate);
    AudioFilew.GetMp3Settings().VbrQuality(mp3.vbrQuality);
    if (!AudioFilew.IsMp3FormatSupported(mp3.frequency, mp3.bitrate, mp3.channels)) {
        services::prompter().information(
            QStringLiteral("This MP3 format is not supported,please change your MP3 settings!"), this);
        return;
    }
    AudioFilew.SetMp3Format(mp3.frequency, mp3.bitrate, mp3.channels);
    runEncode(*this, 0, QStringLiteral("Encode to MP3..."));
}

void Tfm_main::WavToWmaClick()
{
    waitForJobs();
    AudioFilew.SetWmaFormat(IniFile().read(settings::wmaFormat));
    runEncode(*this, 1, QStringLiteral("Encode to WMA..."));
}

void Tfm_main::WavToOggClick()
{
    waitForJobs();
    const auto ogg = OggEncoderSettings::read(IniFile());
    if (!AudioFilew.IsOggFormatSupported(ogg.frequency, ogg.channels, ogg.bitrate, ogg.minBitrate,
                                         ogg.maxBitrate)) {
        services::prompter().information(
            QStringLiteral("This Ogg format is not supported,please change your ogg settings!"), this);
        return;
    }
    AudioFilew.SetOggFormat(ogg.frequency, ogg.channels, ogg.bitrate, ogg.minBitrate,
                            ogg.maxBitrate, ogg.quality);
    runEncode(*this, 2, QStringLiteral("Encode to OGG..."));
}

void Tfm_main::DecodeClick()
{
    waitForJobs();
    runDecode(*this, kDecodeFilter, QStringLiteral("Choose MP3, WMA or OGG files to decode to WAV"),
              QStringLiteral("Decode to WAV..."));
}

void Tfm_main::NormalizeClick()
{
    waitForJobs();
    runDecode(*this, kWavFilter, QStringLiteral("Choose WAV files to normalize"),
              QStringLiteral("WAV normalize..."));
}
