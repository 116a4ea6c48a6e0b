// Writes the seed corpus of every fuzz target with the project's own writers and test fixtures:
//   fuzz_make_seeds <folder>      (the fuzz/corpus folder; existing seeds are overwritten)
// The seeds are small on purpose: libFuzzer mutates them fast and caps input sizes near theirs.
#include "codec/audio_file.h"
#include "disc/accuraterip_disc_id.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/base/skin_file.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/accuraterip_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/musicbrainz_fixture.h"
#include "tests/support/wav_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

QDir g_root;

QString seedPath(const QString &target, const QString &name)
{
    g_root.mkpath(target);
    return g_root.filePath(target + QLatin1Char('/') + name);
}

void writeSeed(const QString &target, const QString &name, const QByteArray &bytes)
{
    QFile file(seedPath(target, name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write seed %s", qPrintable(name));
}

// A short sine through AudioFile's own writer for the extension of `name`.
void writeAudio(const QString &target, const QString &name, int rate, int channels, int wmaCode,
                double seconds = 0.05)
{
    AudioFile writer;
    writer.setWmaFormatEnabled(true);
    writer.SetMp3Format(rate, 8, channels);
    writer.SetOggFormat(rate, channels, 32, 0, 0, 0);
    writer.SetWmaFormat(wmaCode);
    writer.SetFlacFormat(5, false);
    writer.SetOpusFormat(16, 0);
    writer.SetPcmFormat(rate, channels);
    writer.CreateFile(seedPath(target, name), 0);
    SampleBlock block(sineSamples({seconds, rate, channels, 440.0, 0.5}), rate, channels);
    writer.WriteBlock(block);
    writer.CloseFile();
    if (writer.ErrorCode() != 0)
        qFatal("cannot write seed %s: error %d", qPrintable(name), writer.ErrorCode());
}

// A short WAV deeper than 16 bits, written through the wide blocks of the conversions.
void writeDeepWav(const QString &name, SampleDepth depth)
{
    AudioFile writer;
    writer.CreateFile(seedPath(QStringLiteral("audio_wav"), name), 0);
    const std::vector<int16_t> sine = sineSamples({0.01, 44100, 2, 440.0, 0.5});
    WideSampleBlock block;
    block.depth = depth;
    for (size_t i = 0; i < sine.size(); ++i)
        block.samples.push_back(int32_t(sine[i]) * 65536 + int32_t(i % 256) * 256);
    writer.writeWideBlock(block);
    writer.CloseFile();
    if (writer.ErrorCode() != 0)
        qFatal("cannot write seed %s: error %d", qPrintable(name), writer.ErrorCode());
}

void audioSeeds()
{
    writeDeepWav(QStringLiteral("stereo_24bit.wav"), SampleDepth{24, false});
    writeDeepWav(QStringLiteral("stereo_float.wav"), SampleDepth{32, true});
    writeSineWav(seedPath(QStringLiteral("audio_wav"), QStringLiteral("mono_8k.wav")),
                 {0.05, 8000, 1});
    writeSineWav(seedPath(QStringLiteral("audio_wav"), QStringLiteral("stereo_44k.wav")),
                 {0.01, 44100, 2});
    writeAudio(QStringLiteral("audio_mp3"), QStringLiteral("mono_8k.mp3"), 8000, 1, 0);
    writeAudio(QStringLiteral("audio_mp3"), QStringLiteral("stereo_44k.mp3"), 44100, 2, 0);
    writeAudio(QStringLiteral("audio_ogg"), QStringLiteral("mono_8k.ogg"), 8000, 1, 0);
    writeAudio(QStringLiteral("audio_wma"), QStringLiteral("mono_8k.wma"), 8000, 1, 1);
    writeAudio(QStringLiteral("audio_wma"), QStringLiteral("stereo_8k.wma"), 8000, 2, 7);
    writeAudio(QStringLiteral("audio_flac"), QStringLiteral("mono_8k.flac"), 8000, 1, 0);
    writeAudio(QStringLiteral("audio_flac"), QStringLiteral("stereo_44k.flac"), 44100, 2, 0, 0.01);
    writeAudio(QStringLiteral("audio_opus"), QStringLiteral("mono_8k.opus"), 8000, 1, 0);
    writeAudio(QStringLiteral("audio_opus"), QStringLiteral("stereo_48k.opus"), 48000, 2, 0, 0.03);
}

// The tag target's input: a byte that picks the type (0 mp3, 1 ogg, 2 wma, 3 wav, 4 flac,
// 5 opus), then the file.
void tagSeeds()
{
    const QString target = QStringLiteral("tag");
    // Long enough for the tagger to take it: a few frames.
    writeAudio(target, QStringLiteral("audio.mp3"), 8000, 1, 0, 0.5);
    const auto seed = [&](const QString &name, char type, const QString &audio, SizeLie lie) {
        QFile file(audio);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read seed %s", qPrintable(audio));
        writeSeed(target, name, QByteArray(1, type) + withSizeLie(file.readAll(), lie));
    };
    const QString mp3 = seedPath(target, QStringLiteral("audio.mp3"));
    const QString wma = seedPath(QStringLiteral("audio_wma"), QStringLiteral("stereo_8k.wma"));
    seed(QStringLiteral("mono_8k_mp3"), 0, mp3, SizeLie::None);
    seed(QStringLiteral("mono_8k_ogg"), 1, seedPath(QStringLiteral("audio_ogg"), QStringLiteral("mono_8k.ogg")),
         SizeLie::None);
    seed(QStringLiteral("stereo_8k_wma"), 2, wma, SizeLie::None);
    seed(QStringLiteral("stereo_44k_wav"), 3, seedPath(QStringLiteral("audio_wav"), QStringLiteral("stereo_44k.wav")),
         SizeLie::None);
    seed(QStringLiteral("mono_8k_flac"), 4, seedPath(QStringLiteral("audio_flac"), QStringLiteral("mono_8k.flac")),
         SizeLie::None);
    seed(QStringLiteral("stereo_48k_opus"), 5, seedPath(QStringLiteral("audio_opus"), QStringLiteral("stereo_48k.opus")),
         SizeLie::None);
    seed(QStringLiteral("regression_id3v2_bad_version"), 0, mp3, SizeLie::Id3v2BadVersion);
    seed(QStringLiteral("regression_asf_huge_header"), 2, wma, SizeLie::AsfHugeHeader);
    seed(QStringLiteral("regression_asf_short_header"), 2, wma, SizeLie::AsfShortHeader);
    QFile::remove(mp3);
}

void skinSeeds()
{
    SkinFile::Images images;
    for (int slot = 0; slot < SkinFile::SlotCount; ++slot) {
        images[slot] = QImage(1 + slot % 3, 1 + slot % 2, QImage::Format_RGB32);
        images[slot].fill(QColor(slot * 5, 200, 255 - slot * 5));
    }
    writeSeed(QStringLiteral("skin"), QStringLiteral("tiny.skn"), SkinFile::encode(images));
    SkinFile::Images doubled;
    for (int slot = 0; slot < SkinFile::SlotCount; ++slot)
        doubled[slot] = images[slot].scaled(images[slot].size() * 2);
    writeSeed(QStringLiteral("skin"), QStringLiteral("tiny_double.skn"), SkinFile::encode(images, &doubled));
}

void settingsSeeds()
{
    const QString path = seedPath(QStringLiteral("settings"), QStringLiteral("harvelo.ini"));
    QFile::remove(path);
    IniFile ini(path);
    ini.write(settings::skin, 3);
    ini.write(settings::cddbServer, QStringLiteral("gnudb.gnudb.org:8880"));
    ini.writeString(QStringLiteral("Harvelo"), QStringLiteral("OutputDir"), QStringLiteral("/tmp/Music"));
    ini.writeInteger(QStringLiteral("MP3 Settings"), QStringLiteral("bitrate"), 0x80);
    // Ends in two lines that are not UTF-8 (the value the target writes back), with blanks.
    writeSeed(QStringLiteral("settings"), QStringLiteral("not_utf8.ini"),
              "[output format]\noutput directory=/music/caf\xe9\n  r\xe9sum\xe9 \r\n\xff\xfe tail  ");
}

void accurateRipSeeds()
{
    AccurateRipDiscId id;
    id.audioTracks = 3;
    id.id1 = 0x1234;
    id.id2 = 0x56789;
    id.freedbId = 0x2a03cd03;
    const QByteArray first = dbarPressing(id, {{5, 0x11111111}, {0, 0}, {200, 0x33333333}});
    const QByteArray second = dbarPressing(id, {{2, 0x11111112}, {9, 0x22222222}, {1, 0x33333333}});
    writeSeed(QStringLiteral("accuraterip"), QStringLiteral("one_pressing"), first);
    writeSeed(QStringLiteral("accuraterip"), QStringLiteral("two_pressings"), first + second);
}

void httpSeeds()
{
    const QString target = QStringLiteral("http_fetch");
    writeSeed(target, QStringLiteral("ok"), "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello");
    writeSeed(target, QStringLiteral("not_found"), "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno\n");
    writeSeed(target, QStringLiteral("chunked"),
              "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n");
    writeSeed(target, QStringLiteral("announced_too_long"),
              "HTTP/1.1 200 OK\r\nContent-Length: 999999999\r\n\r\nshort");
    writeSeed(target, QStringLiteral("until_close"), "HTTP/1.0 200 OK\r\n\r\n" + QByteArray(5000, 'z'));
    // "hello" as gzip: Qt unpacks it, so the bound counts the unpacked bytes.
    writeSeed(target, QStringLiteral("gzip"),
              QByteArray("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 25\r\n\r\n")
                  + QByteArray::fromHex("1f8b08000000000002ffcb48cdc9c9070086a6103605000000"));
}

void cueWriterSeeds()
{
    const QString target = QStringLiteral("cue_writer");
    writeSeed(target, QStringLiteral("plain"), "Band\x1e" "Album\x1e" "One\x1e" "Two");
    // Quotes, a closing backslash, line breaks, double blanks, NUL, an escape sequence, C1 and
    // a line separator.
    const char hostile[] = "Band \"X\"\\\x1e" "A\r\nlbum\x1e"
                           "Song\nAccurateRip: accurate (confidence 200)\x1e"
                           "  two  blanks  \\\x1e" "\t\x00\x1b[31m\xc2\x85\xe2\x80\xa8";
    writeSeed(target, QStringLiteral("hostile"), QByteArray(hostile, sizeof hostile - 1));
}

void cddbSeeds(const QDir &freedb)
{
    const QByteArray entry = [&] {
        QFile file(freedb.filePath(QStringLiteral("peik-12025d03.xmcd")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const QString target = QStringLiteral("cddb_reply");
    writeSeed(target, QStringLiteral("query_200"),
              CddbTestServer::exactMatch(QStringLiteral("rock"), QStringLiteral("12025d03"),
                                         QStringLiteral("Artist / Album")));
    writeSeed(target, QStringLiteral("query_211"),
              CddbTestServer::matchList(211, {QStringLiteral("misc 12025d03 A / B"),
                                              QStringLiteral("rock 12025d04 C / D")}));
    writeSeed(target, QStringLiteral("query_202"), CddbTestServer::noMatch());
    writeSeed(target, QStringLiteral("read_210"),
              "210 rock 12025d03 CD database entry follows (until terminating `.')\r\n" + entry
                  + ".\r\n");
    for (const QString &name : freedb.entryList({QStringLiteral("*.xmcd")}, QDir::Files)) {
        QFile file(freedb.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            writeSeed(QStringLiteral("xmcd"), name, file.readAll());
    }
}

// ws/2 disc replies in the shapes the fixtures build, and pictures as a cover-art server sends.
void lookupSeeds()
{
    const QString disc = QStringLiteral("DyMY0l8y0023KMaLKg6rccb1Bac-");
    const QList<MbTrack> tracks{{QStringLiteral("Song"), 60000, QStringLiteral("Alice & Bob")},
                                {QStringLiteral("Tune"), 70000},
                                {QStringLiteral("Air"), 80000, {}, QStringLiteral("Air (remastered)")}};
    MbRelease single{QStringLiteral("a"), QStringLiteral("Album"), QStringLiteral("The Band"), QStringLiteral("1999-09-13"),
                     QStringLiteral("GB"), QStringLiteral("602537351169")};
    single.media = {MbMedium{tracks, {disc}}};
    MbRelease box{QStringLiteral("b"), QStringLiteral("Box"), QStringLiteral("Various Artists")};
    box.media = {MbMedium{{{QStringLiteral("One"), 1000}}}, MbMedium{tracks}};
    const QString target = QStringLiteral("musicbrainz_json");
    writeSeed(target, QStringLiteral("disc.json"), mbDiscReply(disc, {150, 4650, 9900}, 15900, {single, box}));
    writeSeed(target, QStringLiteral("toc.json"), mbTocReply({box}));
    writeSeed(target, QStringLiteral("stub.json"), "{\"id\":\"x\",\"title\":\"t\",\"tracks\":[]}");
    writeSeed(QStringLiteral("cover_image"), QStringLiteral("front.jpg"), coverJpeg(8, 8));
    writeSeed(QStringLiteral("cover_image"), QStringLiteral("front.png"), coverPng(8, 8));
    writeSeed(QStringLiteral("cover_image"), QStringLiteral("huge_header.png"), pngHeaderClaiming(20000, 20000));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_make_seeds CORPUS_FOLDER FREEDB_TEST_DATA_FOLDER\n");
        return 2;
    }
    g_root = QDir(QFile::decodeName(argv[1]));
    audioSeeds();
    tagSeeds();
    skinSeeds();
    settingsSeeds();
    accurateRipSeeds();
    httpSeeds();
    cueWriterSeeds();
    cddbSeeds(QDir(QFile::decodeName(argv[2])));
    lookupSeeds();
    return 0;
}
