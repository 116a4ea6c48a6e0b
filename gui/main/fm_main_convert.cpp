#include "gui/main/fm_main.h"

#include "gui/main/forms.h"
#include "gui/services/prompter.h"
#include "rip/output_naming.h"
#include "settings/encoder_settings.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>

// File conversion commands: each sets up the writer, lets the user choose the files in the
// shared open dialog (or takes files dropped on the window) and shows the job window modally.

namespace {

const char kWavFilter[] = "WAV File(*.wav)|*.wav";
const char kDecodeFilter[] = "(*.mp3,*.wma,*.ogg)|*.mp3;*.wma;*.ogg";
const char *const kEncodeTitles[] = {"Encode to MP3...", "Encode to WMA...", "Encode to OGG...",
                                     "Encode to FLAC...", "Encode to Opus..."};
const char *const kEncodeNames[] = {"MP3", "WMA", "OGG", "FLAC", "Opus"};

// Runs the shared dialog, or takes `given` as its choice; the chosen files stay in OpenDialog
// for the job window.
bool chooseFiles(Tfm_main &main, const char *filter, const QString &title, const QStringList *given)
{
    if (given) {
        main.OpenDialog = *given;
        return !given->isEmpty();
    }
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

// Sets the writer up for encode format 0 MP3, 1 WMA, 2 OGG, 3 FLAC or 4 Opus; false after
// telling the user that the stored settings are refused.
bool setUpEncoder(Tfm_main &main, int encodeformat)
{
    ::AudioFile &writer = main.AudioFilew;
    if (encodeformat >= 3) {
        setFlacAndOpusFormats(writer, IniFile());
        return true;
    }
    if (encodeformat == 1) {
        writer.SetWmaFormat(IniFile().read(settings::wmaFormat));
        return true;
    }
    if (encodeformat == 0) {
        const auto mp3 = Mp3EncoderSettings::read(IniFile());
        writer.GetMp3Settings().VbrBitrate(mp3.vbrBitrate);
        writer.GetMp3Settings().VbrQuality(mp3.vbrQuality);
        if (!writer.IsMp3FormatSupported(mp3.frequency, mp3.bitrate, mp3.channels)) {
            services::prompter().information(
                QStringLiteral("This MP3 format is not supported,please change your MP3 settings!"), &main);
            return false;
        }
        writer.SetMp3Format(mp3.frequency, mp3.bitrate, mp3.channels);
        return true;
    }
    const auto ogg = OggEncoderSettings::read(IniFile());
    if (!writer.IsOggFormatSupported(ogg.frequency, ogg.channels, ogg.bitrate, ogg.minBitrate,
                                     ogg.maxBitrate)) {
        services::prompter().information(
            QStringLiteral("This Ogg format is not supported,please change your ogg settings!"), &main);
        return false;
    }
    writer.SetOggFormat(ogg.frequency, ogg.channels, ogg.bitrate, ogg.minBitrate, ogg.maxBitrate,
                        ogg.quality);
    return true;
}

bool isWav(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0;
}

// The existing files among `paths` that a conversion can take, as full paths.
QStringList audioFilesAmong(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        if (!path.isEmpty() && QFileInfo(path).isFile() && ::AudioFile::readsExtensionOf(path))
            files << QFileInfo(path).absoluteFilePath();
    }
    return files;
}

QStringList droppedAudioFiles(const QMimeData *mime)
{
    QStringList paths;
    for (const QUrl &url : mime->urls())
        paths << url.toLocalFile();
    return audioFilesAmong(paths);
}

} // namespace

void Tfm_main::encodeFiles(int encodeformat, const QStringList *files)
{
    waitForJobs();
    if (!setUpEncoder(*this, encodeformat) || !outputDirectoryUsable(*this)
        || !chooseFiles(*this, kWavFilter,
                        QStringLiteral("Choose WAV files to encode to ") + QLatin1String(kEncodeNames[encodeformat]),
                        files))
        return;
    fm_encode->encodeformat = encodeformat;
    fm_encode->setTitle(QString::fromLatin1(kEncodeTitles[encodeformat]));
    fm_encode->exec();
}

void Tfm_main::decodeFiles(bool normalize, const QStringList *files)
{
    waitForJobs();
    const QString title = normalize ? QStringLiteral("Choose WAV files to normalize")
                                    : QStringLiteral("Choose MP3, WMA or OGG files to decode to WAV");
    if (!outputDirectoryUsable(*this)
        || !chooseFiles(*this, normalize ? kWavFilter : kDecodeFilter, title, files))
        return;
    fm_decode->setTitle(normalize ? QStringLiteral("WAV normalize...") : QStringLiteral("Decode to WAV..."));
    fm_decode->exec();
}

void Tfm_main::WavToMp3Click() { encodeFiles(0); }
void Tfm_main::WavToWmaClick() { encodeFiles(1); }
void Tfm_main::WavToOggClick() { encodeFiles(2); }
void Tfm_main::WavToFlacClick() { encodeFiles(3); }
void Tfm_main::WavToOpusClick() { encodeFiles(4); }
void Tfm_main::DecodeClick() { decodeFiles(false); }
void Tfm_main::NormalizeClick() { decodeFiles(true); }

// WAV files are encoded to the format of the selected format button (MP3 while WAV is
// selected, FLAC when that button writes FLAC, Opus when the OGG button writes Opus); the files of the other formats the readers know are decoded. WAV files first,
// then the others, each as the Action menu's command does after its dialog.
void Tfm_main::openAudioFiles(const QStringList &paths)
{
    QStringList wav, encoded;
    for (const QString &path : audioFilesAmong(paths))
        (isWav(path) ? wav : encoded) << path;
    const int encodeFormat[] = {0, 0, 1, 2}; // by output_format: MP3, WAV, WMA, OGG
    const QString extension = ripExtension(output_format, IniFile());
    const int format = extension == QLatin1String(".flac")   ? 3
                       : extension == QLatin1String(".opus") ? 4
                                                             : encodeFormat[std::clamp(output_format, 0, 3)];
    if (!wav.isEmpty())
        encodeFiles(format, &wav);
    if (!encoded.isEmpty())
        decodeFiles(false, &encoded);
}

// Any audio file the conversions take, chosen in the shared dialog, goes where a drop sends it.
void Tfm_main::ConvertFilesClick()
{
    QStringList chosen;
    if (chooseFiles(*this, "Audio files|*.wav;*.mp3;*.wma;*.ogg;*.flac;*.opus", QStringLiteral("Choose audio files to convert"),
                    nullptr))
        chosen = OpenDialog;
    openAudioFiles(chosen);
}

void Tfm_main::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedAudioFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

// The job windows are modal: they open after the drop has ended, so the program the files
// came from is not kept waiting for the job.
void Tfm_main::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedAudioFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    QMetaObject::invokeMethod(this, [this, files] { openAudioFiles(files); }, Qt::QueuedConnection);
}
