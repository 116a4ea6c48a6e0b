#include "cli/cli_command.h"
#include "cli/batch_convert.h"

#include "codec/audio_file.h"
#include "tags/audio_information.h"
#include "tags/tag_saving.h"
#include "tags/album_gain.h"
#include "codec/loudness_meter.h"
#include "codec/audio_transform.h"
#include "settings/encoder_settings.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "convert/block_copy.h"
#include "jobs/part_file.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <optional>

namespace {

// The encoder set-up that the encode commands of the window make, from the same settings.
std::optional<QString> setUpEncoder(AudioFile &writer, const QString &ext)
{
    const IniFile ini;
    setFlacAndOpusFormats(writer, ini);
    if (ext == QLatin1String("mp3")) {
        const auto mp3 = Mp3EncoderSettings::read(ini);
        if (!writer.IsMp3FormatSupported(mp3.frequency, mp3.bitrate, mp3.channels))
            return QStringLiteral("This MP3 format is not supported!");
        writer.SetMp3Format(mp3.frequency, mp3.bitrate, mp3.channels);
        writer.GetMp3Settings().VbrBitrate(mp3.vbrBitrate);
        writer.GetMp3Settings().VbrQuality(mp3.vbrQuality);
    } else if (ext == QLatin1String("ogg")) {
        const auto ogg = OggEncoderSettings::read(ini);
        if (!writer.IsOggFormatSupported(ogg.frequency, ogg.channels, ogg.bitrate, ogg.minBitrate,
                                         ogg.maxBitrate))
            return QStringLiteral("This Ogg format is not supported!");
        writer.SetOggFormat(ogg.frequency, ogg.channels, ogg.bitrate, ogg.minBitrate,
                            ogg.maxBitrate, ogg.quality);
    } else if (ext == QLatin1String("wma")) {
        writer.SetWmaFormat(ini.read(settings::wmaFormat));
    }
    return std::nullopt;
}

// The conversion jobs' block loop, with nothing to show and no Stop.
std::optional<QString> copyBlocks(const QString &input, AudioFile &reader, AudioFile &writer,
                                  std::optional<float> ratio, LoudnessMeter *loudness)
{
    AudioTransform transform;
    CopyObserver quiet;
    switch (copyFile(input, reader, writer, transform, ratio, quiet, loudness)) {
    case CopyEnd::ReadFailed:
        return QStringLiteral("the input has bad data");
    case CopyEnd::WriteFailed:
        return QStringLiteral("cannot write the output");
    case CopyEnd::Stopped: // nothing stops it here; a copy cut short is never kept
        return QStringLiteral("the conversion was stopped");
    case CopyEnd::Done:
        break;
    }
    return std::nullopt;
}

std::optional<QString> convert(const QString &input, const QString &output,
                               std::optional<float> ratio, AlbumGain *album)
{
    AudioFile reader, writer;
    reader.setWmaFormatEnabled(true);
    writer.setWmaFormatEnabled(true);
    reader.OpenFile(input, 0, 1);
    if (reader.ErrorCode() != 0)
        return input + QStringLiteral(" is not a valid file!");
    if (const auto refused = setUpEncoder(writer, QFileInfo(output).suffix().toLower()))
        return refused;
    // An existing OUTPUT stays as it is until the new one is whole; a failed one leaves nothing.
    PartFile part(output);
    writer.CreateFile(part.path(), 0);
    if (writer.ErrorCode() != 0)
        return QStringLiteral("Failed to create file ") + output;
    const ReplayGainMode gain = holdsReplayGain(output) ? replayGainMode(IniFile()) : ReplayGainMode::None;
    LoudnessMeter loudness;
    std::optional<QString> failure =
        copyBlocks(input, reader, writer, ratio, gain == ReplayGainMode::None ? nullptr : &loudness);
    reader.CloseFile();
    writer.CloseFile();
    if (!failure && (writer.ErrorCode() != 0 || !tagTrackGain(part.path(), loudness.values())
                     || !part.commit()))
        failure = part.conflicted() ? conflictMessage(output) : QStringLiteral("cannot write the output");
    if (!failure && album && gain == ReplayGainMode::Album)
        album->keep(output, std::move(loudness));
    return failure;
}

int runConvert(const QStringList &args)
{
    if (isBatchConvert(args))
        return runBatchConvert(args);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts INPUT (WAV, MP3, OGG, WMA, FLAC or Opus) to the format of OUTPUT's extension\n"
        "(.wav, .mp3, .ogg, .wma, .flac, .opus) with the encoder settings of harvelo.ini, block\n"
        "by block. --normalize\n"
        "reads INPUT twice: once to find its peak, then to convert it with the one gain that\n"
        "brings that peak to RATIO."));
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The file to read."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The file to write."));
    parser.addOption(normalizeOption());
    parser.addOption({QStringLiteral("force"),
                      QStringLiteral("Replace an existing OUTPUT, once the new one is complete.")});
    int status = 0;
    if (!parseArgs(parser, args, 2, &status))
        return status;
    const QString input = parser.positionalArguments().at(0);
    const QString output = parser.positionalArguments().at(1);
    std::optional<float> ratio;
    if (const auto bad = readNormalizeRatio(parser, &ratio))
        return failWith(*bad);
    const std::optional<QString> failure =
        convertChecked(input, output, parser.isSet(QStringLiteral("force")), ratio);
    return failure ? failWith(*failure) : 0;
}

// The fields given on the command line, or all of them with --clear.
unsigned givenFields(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("clear")))
        return AudioInformation::AllFields;
    const std::pair<const char *, AudioInformation::Field> options[] = {
        {"title", AudioInformation::Title}, {"artist", AudioInformation::Artist},
        {"album", AudioInformation::Album}, {"genre", AudioInformation::Genre},
        {"track", AudioInformation::Track}};
    unsigned fields = 0;
    for (const auto &[name, field] : options)
        fields |= parser.isSet(QLatin1String(name)) ? unsigned(field) : 0u;
    return fields;
}

int runTag(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the tags of FILE as a rip does: ID3v1 and ID3v2.3 for MP3, Vorbis comments for\n"
        "OGG, FLAC and Opus, ASF attributes for WMA, a RIFF INFO list for WAV. Only the fields\n"
        "given change;\n"
        "the file keeps its other tags. With --clear every field is written, and those not\n"
        "given become empty (no genre, track 0)."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The file to tag."));
    parser.addOptions({
        {QStringLiteral("title"), QStringLiteral("Track title."), QStringLiteral("T")},
        {QStringLiteral("artist"), QStringLiteral("Artist."), QStringLiteral("A")},
        {QStringLiteral("album"), QStringLiteral("Album."), QStringLiteral("B")},
        {QStringLiteral("genre"), QStringLiteral("ID3v1 genre number 0-147; -1 for none."), QStringLiteral("N"), QStringLiteral("-1")},
        {QStringLiteral("track"), QStringLiteral("Track number."), QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("clear"), QStringLiteral("Write every field; those not given become empty.")},
    });
    int status = 0;
    if (!parseArgs(parser, args, 1, &status))
        return status;
    bool genreOk = false, trackOk = false;
    AudioInformation info;
    info.infoTitle = parser.value(QStringLiteral("title"));
    info.infoArtist = parser.value(QStringLiteral("artist"));
    info.infoAlbum = parser.value(QStringLiteral("album"));
    info.infoGenre = parser.value(QStringLiteral("genre")).toShort(&genreOk);
    info.infoTrack = parser.value(QStringLiteral("track")).toShort(&trackOk);
    if (!genreOk || info.infoGenre < -1 || info.infoGenre > 147 || !trackOk || info.infoTrack < 0)
        return failWith(QStringLiteral("--genre takes -1 to 147 and --track a number from 0"));
    info.savedFields = givenFields(parser);
    if (info.savedFields == 0)
        return failWith(QStringLiteral("no field to write; see --help"));
    // A copy is tagged and replaces the file only with its audio unchanged: a full disk or a
    // malformed file whose sizes the tagger trusts never damages it.
    const auto failure = tagFileThroughCopy(info, parser.positionalArguments().at(0));
    return failure ? failWith(*failure) : 0;
}

} // namespace

std::optional<QString> convertChecked(const QString &input, const QString &output, bool force,
                                      std::optional<float> ratio, AlbumGain *album)
{
    // Through a link (symbolic or hard) two names may still be one file.
    if (QFileInfo(input).absoluteFilePath() == QFileInfo(output).absoluteFilePath()
        || sameFile(input, output))
        return QStringLiteral("INPUT and OUTPUT are the same file");
    if (QFileInfo::exists(output) && !force)
        return output + QStringLiteral(" already exists; --force overwrites it");
    return convert(input, output, ratio, album);
}

namespace {

const CliRegistration registration{
    {"convert", "convert [--normalize RATIO] [--force] INPUT OUTPUT\n"
                "             convert --output-dir DIR --format EXT [-j N] [OPTIONS] INPUT...",
     &runConvert},
    {"tag", "tag FILE [--title T] [--artist A] [--album B] [--genre N] [--track N] [--clear]", &runTag},
};

} // namespace
