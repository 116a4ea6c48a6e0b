#include "codec/audio_file.h"
#include "tags/audio_information.h"
#include "tags/tag_saving.h"
#include "tests/support/audio_fixtures.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/audio_probe.h"
#include "tests/support/musicbrainz_fixture.h"
#include "tests/support/small_folder.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(TagSave)

namespace {

QString makeFile(const QString &ext)
{
    const QDir dir(testEnv().makeDir(QStringLiteral("tags_") + ext));
    const QString source = dir.filePath(QStringLiteral("source.wav"));
    const QString target = dir.filePath(QStringLiteral("tagged.") + ext);
    writeSineWav(source, {1.0, 44100, 2});
    AudioFile writer;
    writer.setWmaFormatEnabled(true);
    return convertWithAudioFile(source, writer, target) == 0 ? target : QString();
}

void setTags(AudioInformation &info, int genre, int version)
{
    info.infoTitle = QStringLiteral("Über Title");
    info.infoArtist = QStringLiteral("The Artist");
    info.infoAlbum = QStringLiteral("An Album");
    info.infoGenre = int16_t(genre);
    info.infoTrack = 7;
    info.mp3TagInfoVersion = int16_t(version);
}

// The ID3v1 tag at the end of an MP3: title and genre byte, or nothing.
struct Id3v1 {
    bool present = false;
    QByteArray title;
    int genre = -1;
};

Id3v1 readId3v1(const QString &path)
{
    QFile file(path);
    Id3v1 tag;
    if (!file.open(QIODevice::ReadOnly) || file.size() < 128 || !file.seek(file.size() - 128))
        return tag;
    const QByteArray bytes = file.read(128);
    tag.present = bytes.startsWith("TAG");
    tag.title = bytes.mid(3, 30);
    tag.title.truncate(tag.title.indexOf('\0') < 0 ? 30 : tag.title.indexOf('\0'));
    tag.genre = quint8(bytes.at(127));
    return tag;
}

int id3v2Version(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(4);
    return head.startsWith("ID3") ? head.at(3) : 0;
}

// MusicBrainz IDs as a release carries them.
const QString kRelease = QStringLiteral("f205627f-b70a-409d-adbe-66289b614e80");
const QString kGroup = QStringLiteral("153f0a09-fead-3370-9b17-379ebd09446b");
const QString kRecording = QStringLiteral("0cf3008f-e246-428f-abc1-35f87d584d60");
const QString kTrack = QStringLiteral("ec60f5e2-ed8a-391d-90cd-bf119c50f6a0");

} // namespace

class TestAudioInformation : public QObject {
    Q_OBJECT

private slots:
    void tagsReadByFfprobe_data();
    void tagsReadByFfprobe();
    void mp3KeepsBothVersions_data();
    void mp3KeepsBothVersions();
    void wavStaysValid();
    void refusedFiles();
    void everyFieldInEveryFormat_data();
    void everyFieldInEveryFormat();
    void checkedSaveSeesTheAudioChange_data();
    void propertiesOfEveryFormat_data();
    void propertiesOfEveryFormat();
    void checkedSaveSeesTheAudioChange();
};

void TestAudioInformation::tagsReadByFfprobe_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("genre");
    QTest::addColumn<QString>("genreText"); // empty: no genre tag at all
    QTest::newRow("mp3 v2 Rock") << "mp3" << 2 << 17 << "Rock";
    QTest::newRow("mp3 v1 Jazz") << "mp3" << 1 << 8 << "Jazz";
    QTest::newRow("mp3 v2 no genre") << "mp3" << 2 << -1 << "";
    QTest::newRow("ogg Blues") << "ogg" << 2 << 0 << "Blues";
    QTest::newRow("ogg no genre") << "ogg" << 2 << -1 << "";
    QTest::newRow("wma R&B") << "wma" << 2 << 14 << "R&B";
    QTest::newRow("wma no genre") << "wma" << 1 << -1 << "";
    QTest::newRow("wav Pop") << "wav" << 2 << 13 << "Pop";
    QTest::newRow("wav no genre") << "wav" << 1 << -1 << "";
    QTest::newRow("flac Blues") << "flac" << 2 << 0 << "Blues";
    QTest::newRow("opus no genre") << "opus" << 1 << -1 << "";
}

void TestAudioInformation::tagsReadByFfprobe()
{
    QFETCH(QString, ext);
    QFETCH(int, version);
    QFETCH(int, genre);
    QFETCH(QString, genreText);
    const QString path = makeFile(ext);
    QVERIFY(!path.isEmpty());
    AudioInformation info;
    setTags(info, genre, version);
    QVERIFY(info.SaveTags(path));

    // ffprobe reads ID3v1 text as UTF-8, but ID3v1 holds Latin-1: an ASCII title there.
    if (version == 1 && ext == QLatin1String("mp3")) {
        info.infoTitle = QStringLiteral("Plain Title");
        QVERIFY(info.SaveTags(path));
    }
    const ProbeResult probe = probeAudio(path);
    QVERIFY(probe.ok);
    QCOMPARE(probe.tags.value(QStringLiteral("title")), info.infoTitle);
    QCOMPARE(probe.tags.value(QStringLiteral("artist")), info.infoArtist);
    QCOMPARE(probe.tags.value(QStringLiteral("album")), info.infoAlbum);
    QCOMPARE(probe.tags.value(QStringLiteral("track")).section(QLatin1Char('/'), 0, 0), QStringLiteral("7"));
    QCOMPARE(probe.tags.value(QStringLiteral("genre")), genreText);
    QCOMPARE(probe.tags.contains(QStringLiteral("genre")), !genreText.isEmpty());
}

void TestAudioInformation::mp3KeepsBothVersions_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("1 then 2, as the worker") << 1 << 2;
    QTest::newRow("2 then 1, as the WMA rip order") << 2 << 1;
}

void TestAudioInformation::mp3KeepsBothVersions()
{
    QFETCH(int, first);
    QFETCH(int, second);
    const QString path = makeFile(QStringLiteral("mp3"));
    AudioInformation info;
    setTags(info, 17, first);
    QVERIFY(info.SaveTags(path));
    info.mp3TagInfoVersion = int16_t(second);
    QVERIFY(info.SaveTags(path));

    const Id3v1 v1 = readId3v1(path);
    QVERIFY(v1.present);
    QCOMPARE(v1.title, QByteArray("\xdc" "ber Title"));
    QCOMPARE(v1.genre, 17);
    QCOMPARE(id3v2Version(path), 3);
    QCOMPARE(probeAudio(path).tags.value(QStringLiteral("title")), info.infoTitle);
    // The audio is untouched: still exactly one second.
    const ReadResult audio = readWithAudioFile(path);
    QCOMPARE(audio.error, 0);
    QCOMPARE(int64_t(audio.samples.size()) / 2, 44100);
}

// The INFO chunk leaves a WAV that other readers take, with every sample where it was.
void TestAudioInformation::wavStaysValid()
{
    const QString path = makeFile(QStringLiteral("wav"));
    AudioInformation info;
    setTags(info, 17, 1);
    QVERIFY(info.SaveTags(path));
    info.mp3TagInfoVersion = 2;
    QVERIFY(info.SaveTags(path));
    const std::vector<int16_t> decoded = decodeWithFfmpeg(path);
    QCOMPARE(decoded, sineSamples({1.0, 44100, 2}));
    QProcess sox;
    sox.start(QStringLiteral("sox"), {QStringLiteral("--i"), QStringLiteral("-s"), path});
    QVERIFY(sox.waitForFinished());
    QCOMPARE(sox.readAllStandardOutput().trimmed(), QByteArray("44100"));
}

void TestAudioInformation::refusedFiles()
{
    AudioInformation info;
    setTags(info, 1, 2);
    const QDir dir(testEnv().makeDir(QStringLiteral("tags_refused")));
    QVERIFY(!info.SaveTags(dir.filePath(QStringLiteral("missing.mp3"))));
    const QString text = dir.filePath(QStringLiteral("text.mp3"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not audio at all");
    file.close();
    QVERIFY(!info.SaveTags(text));
    QVERIFY(!info.SaveTags(dir.filePath(QStringLiteral("song.flac"))));
}

void TestAudioInformation::everyFieldInEveryFormat_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QStringList>("expected"); // "NAME=value" as the independent reader names it
    const QString cover = frontCoverText("image/jpeg", coverJpeg(40, 30));
    QTest::newRow("mp3, ID3v2.3") << "mp3"
        << QStringList{"version=2.3", "TIT2=\u00dcber Title", "TPE1=Guest Artist", "TALB=An Album",
                       "TPE2=The Artist", "TCON=Progressive Metal", "TRCK=7/12", "TPOS=4/4",
                       "TYER=2004", "TDAT=1703",
                       "TXXX:MusicBrainz Album Id=" + kRelease, "TXXX:MusicBrainz Release Group Id=" + kGroup,
                       "TXXX:MusicBrainz Release Track Id=" + kTrack, "UFID:http://musicbrainz.org=" + kRecording,
                       "APIC=" + cover};
    const QStringList vorbis{"TITLE=\u00dcber Title", "ARTIST=Guest Artist", "ALBUM=An Album", "ALBUMARTIST=The Artist",
                       "GENRE=Progressive Metal", "DATE=2004-03-17", "TRACKNUMBER=7", "TRACKTOTAL=12",
                       "DISCNUMBER=4", "DISCTOTAL=4", "MUSICBRAINZ_ALBUMID=" + kRelease,
                       "MUSICBRAINZ_RELEASEGROUPID=" + kGroup, "MUSICBRAINZ_TRACKID=" + kRecording,
                       "MUSICBRAINZ_RELEASETRACKID=" + kTrack, "METADATA_BLOCK_PICTURE=" + cover};
    QTest::newRow("ogg, Vorbis comments") << "ogg" << vorbis;
    // FLAC's cover is a PICTURE block of the file (read_tags.py shows it under the same name).
    QTest::newRow("flac, Vorbis comments") << "flac" << vorbis;
    QTest::newRow("opus, Vorbis comments") << "opus" << vorbis;
    QTest::newRow("wma, ASF") << "wma"
        << QStringList{"Title=\u00dcber Title", "Author=Guest Artist", "WM/AlbumTitle=An Album",
                       "WM/AlbumArtist=The Artist", "WM/Genre=Progressive Metal", "WM/Year=2004",
                       "WM/TrackNumber=7", "WM/PartOfSet=4/4", "MusicBrainz/Album Id=" + kRelease,
                       "MusicBrainz/Release Group Id=" + kGroup, "MusicBrainz/Track Id=" + kRecording,
                       "MusicBrainz/Release Track Id=" + kTrack, "WM/Picture=" + cover};
    QTest::newRow("wav, RIFF INFO") << "wav"
        << QStringList{"title=\u00dcber Title", "artist=Guest Artist", "album=An Album",
                       "genre=Progressive Metal", "track=7", "date=2004-03-17"};
}

// Everything a rip knows, under each format's usual names, read back by mutagen (ffprobe for
// the RIFF INFO chunk, which mutagen does not read).
void TestAudioInformation::everyFieldInEveryFormat()
{
    QFETCH(QString, ext);
    QFETCH(QStringList, expected);
    const QString path = makeFile(ext);
    QVERIFY(!path.isEmpty());
    AudioInformation info;
    setTags(info, 12, 1);
    info.infoArtist = QStringLiteral("Guest Artist");
    TagSet &extra = info.extra;
    extra = {};
    extra.genre = QStringLiteral("Progressive Metal");
    extra.albumArtist = QStringLiteral("The Artist");
    extra.date = QStringLiteral("2004-03-17");
    extra.trackTotal = 12;
    extra.disc = 4;
    extra.discTotal = 4;
    extra.releaseId = kRelease;
    extra.releaseGroupId = kGroup;
    extra.recordingId = kRecording;
    extra.releaseTrackId = kTrack;
    extra.frontCover = {coverJpeg(40, 30), QStringLiteral("image/jpeg")};
    QVERIFY(info.SaveTags(path));
    info.mp3TagInfoVersion = 2;
    QVERIFY(info.SaveTags(path));
    const QMap<QString, QString> tags = ext == QLatin1String("wav") ? probeAudio(path).tags : mutagenTags(path);
    QVERIFY2(!tags.isEmpty(), qPrintable(path));
    for (const QString &pair : expected) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        QCOMPARE(key + QLatin1Char('=') + tags.value(key), pair);
    }
    // ID3v1 keeps the genre list's number.
    if (ext == QLatin1String("mp3"))
        QCOMPARE(readId3v1(path).genre, 12);
}

void TestAudioInformation::checkedSaveSeesTheAudioChange_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<SizeLie>("lie");
    QTest::addColumn<TagSave>("result");
    QTest::newRow("mp3") << "a.mp3" << SizeLie::None << TagSave::Saved;
    QTest::newRow("wma") << "a.wma" << SizeLie::None << TagSave::Saved;
    QTest::newRow("mp3 with a bad ID3v2 version") << "b.mp3" << SizeLie::Id3v2BadVersion << TagSave::AudioChanged;
    QTest::newRow("wma claiming a 4 GB header") << "b.wma" << SizeLie::AsfHugeHeader << TagSave::AudioChanged;
    QTest::newRow("wma claiming a header shorter than its fields") << "c.wma" << SizeLie::AsfShortHeader << TagSave::Refused;
}

// What a rip relies on for its own file: tagged in place, the file decodes as before, or
// the save says it does not. The folder holds 1 MB, so a save that copies the file into
// itself without end fails instead of filling the disk.
void TestAudioInformation::checkedSaveSeesTheAudioChange()
{
    QFETCH(QString, name);
    QFETCH(SizeLie, lie);
    QFETCH(TagSave, result);
    SmallFolder small(testEnv().makeDir(QStringLiteral("checked")) + QStringLiteral("/small"), 1 << 20);
    const QString path = QDir(small.path()).filePath(name);
    QVERIFY(writeLyingFile(path, lie));
    const DecodedAudio before = decodeAudio(path);
    QVERIFY(before.complete && before.frames > 80000 && before.channels == 2);
    AudioInformation info;
    setTags(info, 17, 2);
    TagSave saved = TagSave::Saved;
    small.limited([&] { saved = saveTagsChecked(info, path, 1, before); });
    QCOMPARE(saved, result);
    QCOMPARE(decodeAudio(path) == before, result != TagSave::AudioChanged);
    QCOMPARE(saveTagsChecked(info, path, 1, DecodedAudio()), TagSave::Refused);
}

void TestAudioInformation::propertiesOfEveryFormat_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("rate");
    for (const char *ext : {"wav", "mp3", "ogg", "wma", "flac"})
        QTest::newRow(ext) << ext << 44100;
    QTest::newRow("opus") << "opus" << 48000;
}

// Length, rate, channels and bit rate of one second of stereo audio, as each file's header says.
void TestAudioInformation::propertiesOfEveryFormat()
{
    QFETCH(QString, ext);
    QFETCH(int, rate);
    const QString path = makeFile(ext);
    QVERIFY(!path.isEmpty());
    const auto properties = AudioInformation::ReadProperties(path);
    QVERIFY(properties);
    QCOMPARE(properties->sampleRate, rate);
    QCOMPARE(properties->channels, 2);
    // Within two encoder frames: WMA counts its leading frame of silence.
    QVERIFY2(qAbs(properties->lengthMs - 1000) <= 100, qPrintable(QString::number(properties->lengthMs)));
    QVERIFY(properties->bitrate > 0);
    QVERIFY(!AudioInformation::ReadProperties(path + QStringLiteral(".missing")));
}

HARVELO_TEST_MAIN(TestAudioInformation, QCoreApplication)
#include "tst_audio_information.moc"
