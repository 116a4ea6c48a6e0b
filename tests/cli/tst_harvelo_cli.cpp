#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "jobs/part_file.h"
#include "tests/support/audio_probe.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/small_folder.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

namespace {

ProcessResult runCli(const QStringList &args)
{
    return runProgram(QStringLiteral(HARVELO_CLI_PATH), args);
}

int peakOf(const std::vector<int16_t> &samples)
{
    int peak = 0;
    for (int16_t s : samples)
        peak = std::max(peak, std::abs(int(s)));
    return peak;
}

} // namespace

class TestHarveloCli : public QObject {
    Q_OBJECT

private slots:
    void init();
    void help();
    void commandUsage_data();
    void commandUsage();
    void convertUsesTheSettings_data();
    void convertUsesTheSettings();
    void convertNormalizes();
    void normalizeUsesOneGain_data();
    void normalizeUsesOneGain();
    void streamChangingFormat();
    void failures_data();
    void failures();
    void tagWritesBothMp3Versions();
    void convertRefusesLinksToTheInput_data();
    void convertRefusesLinksToTheInput();
    void forceKeepsTheOldOutputOnAFullDisk_data();
    void forceKeepsTheOldOutputOnAFullDisk();
    void killedMidWriteLeavesNoOutput();
    void tagChangesOnlyTheGivenFields_data();
    void tagChangesOnlyTheGivenFields();
    void tagNeverDamagesTheAudio_data();
    void tagNeverDamagesTheAudio();

private:
    QDir m_dir;
    QString m_source;
};

void TestHarveloCli::init()
{
    testEnv().clearIni();
    m_dir = QDir(testEnv().makeDir(QStringLiteral("cli")));
    m_source = m_dir.filePath(QStringLiteral("source.wav"));
    QVERIFY(writeSineWav(m_source, {1.0, 44100, 2, 440.0, 0.25}));
    QVERIFY(writeWavClaimingRate(m_dir.filePath(QStringLiteral("absurd.wav")), 1500000000u));
}

void TestHarveloCli::help()
{
    const ProcessResult top = runCli({QStringLiteral("--help")});
    QCOMPARE(top.status, 0);
    QVERIFY(top.out.contains("convert") && top.out.contains("tag"));
    const ProcessResult convert = runCli({QStringLiteral("convert"), QStringLiteral("--help")});
    QCOMPARE(convert.status, 0);
    QVERIFY(convert.out.contains("--normalize"));
}

void TestHarveloCli::commandUsage_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("usage");
    QTest::newRow("convert") << "convert" << "Usage: harvelo-cli convert [options] INPUT OUTPUT\n";
    QTest::newRow("tag") << "tag" << "Usage: harvelo-cli tag [options] FILE\n";
    QTest::newRow("toc") << "toc" << "Usage: harvelo-cli toc [options]\n";
}

// The usage line of a command's help can be typed as it stands: it names the command.
void TestHarveloCli::commandUsage()
{
    QFETCH(QString, command);
    QFETCH(QString, usage);
    const ProcessResult r = runCli({command, QStringLiteral("--help")});
    QCOMPARE(r.status, 0);
    QCOMPARE(QString::fromUtf8(r.out).section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n'), usage);
}

void TestHarveloCli::convertUsesTheSettings_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::newRow("mp3 32000 mono") << "mp3" << "mp3 settings" << QStringList{"frequency", "channel", "bitrate"}
                                    << QList<int>{32000, 1, 96} << "mp3" << 32000 << 1;
    QTest::newRow("ogg 48000") << "ogg" << "ogg settings" << QStringList{"frequency", "bitrate"}
                               << QList<int>{48000, 160} << "vorbis" << 48000 << 2;
    QTest::newRow("wma code 10") << "wma" << "wma settings" << QStringList{"wma format"}
                                 << QList<int>{10} << "wmav2" << 16000 << 2;
    QTest::newRow("wav") << "wav" << "" << QStringList{} << QList<int>{} << "pcm_s16le" << 44100 << 2;
}

void TestHarveloCli::convertUsesTheSettings()
{
    QFETCH(QString, ext);
    QFETCH(QString, section);
    QFETCH(QStringList, keys);
    QFETCH(QList<int>, values);
    QFETCH(QString, codec);
    QFETCH(int, rate);
    QFETCH(int, channels);
    IniFile ini;
    for (int i = 0; i < keys.size(); ++i)
        ini.writeInteger(section, keys[i], values[i]);
    const QString target = m_dir.filePath(QStringLiteral("out.") + ext);
    const ProcessResult result = runCli({QStringLiteral("convert"), m_source, target});
    QCOMPARE(result.status, 0);
    QVERIFY(result.err.isEmpty());
    const ProbeResult probe = probeAudio(target);
    QCOMPARE(probe.codec, codec);
    QCOMPARE(probe.rate, rate);
    QCOMPARE(probe.channels, channels);
    if (ext == QLatin1String("mp3"))
        QCOMPARE(probe.bitRate, 96000);
}

void TestHarveloCli::convertNormalizes()
{
    const QString plain = m_dir.filePath(QStringLiteral("plain.wav"));
    const QString loud = m_dir.filePath(QStringLiteral("loud.wav"));
    QCOMPARE(runCli({QStringLiteral("convert"), m_source, plain}).status, 0);
    QCOMPARE(runCli({QStringLiteral("convert"), QStringLiteral("--normalize"), QStringLiteral("80"), m_source, loud}).status, 0);
    QCOMPARE(decodeWithFfmpeg(plain), sineSamples({1.0, 44100, 2, 440.0, 0.25}));
    QVERIFY(std::abs(peakOf(decodeWithFfmpeg(loud)) - 32767 * 0.8) < 200);
}

void TestHarveloCli::normalizeUsesOneGain_data()
{
    QTest::addColumn<LevelShape>("shape");
    QTest::addColumn<QString>("ext");
    // The expected output peak; 0 for MP3, where LAME at 128 kbit/s puts a pure tone 0.4 dB low.
    QTest::addColumn<double>("peak");
    for (const QString &ext : {QStringLiteral("wav"), QStringLiteral("mp3")}) {
        const bool wav = ext == QLatin1String("wav");
        QTest::addRow("tone with a click %s", qPrintable(ext)) << LevelShape::ClickTone << ext << (wav ? 0.98 : 0.0);
        QTest::addRow("fade-in %s", qPrintable(ext)) << LevelShape::FadeIn << ext << (wav ? 0.98 : 0.0);
        QTest::addRow("quiet then loud %s", qPrintable(ext)) << LevelShape::QuietThenLoud << ext << (wav ? 0.98 : 0.0);
        QTest::addRow("steady -26 dBFS %s", qPrintable(ext)) << LevelShape::Steady26 << ext << (wav ? 0.98 : 0.0);
    }
}

// One gain for the whole file: every part of it changes level by the same amount, and the
// file's peak lands at the ratio.
void TestHarveloCli::normalizeUsesOneGain()
{
    QFETCH(LevelShape, shape);
    QFETCH(QString, ext);
    QFETCH(double, peak);
    const std::vector<int16_t> in = levelSignal(shape);
    const QString source = m_dir.filePath(QStringLiteral("shaped.wav"));
    const QString target = m_dir.filePath(QStringLiteral("normalized.") + ext);
    QVERIFY(writeWav(source, in, 44100, 2));
    QCOMPARE(runCli({QStringLiteral("convert"), QStringLiteral("--normalize"), QStringLiteral("98"), source, target}).status, 0);
    const std::vector<int16_t> out = decodeWithFfmpeg(target);
    const double spread = gainSpreadDb(in, 2, out, 2);
    QVERIFY2(spread < 0.1, qPrintable(QString::number(spread)));
    if (peak > 0)
        QVERIFY2(std::abs(peakLevel(out) - peak) <= 0.01, qPrintable(QString::number(peakLevel(out))));
}

// A stream whose channels change part-way is converted in the format it started with.
void TestHarveloCli::streamChangingFormat()
{
    const QString source = m_dir.filePath(QStringLiteral("changing.wma"));
    const QString target = m_dir.filePath(QStringLiteral("changing.wav"));
    QVERIFY(makeFormatChangingAsf(source, {QStringLiteral("-ac"), QStringLiteral("1")}));
    const ProcessResult result = runCli({QStringLiteral("convert"), source, target});
    QCOMPARE(result.status, 0);
    const ProbeResult probe = probeAudio(target);
    QCOMPARE(probe.channels, 2);
    QVERIFY2(std::abs(probe.seconds - 2.0) < 0.15, qPrintable(QString::number(probe.seconds)));
}

void TestHarveloCli::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mp3Bitrate"); // written to the settings when not empty
    QTest::addColumn<QString>("message");
    QTest::newRow("missing input") << QStringList{"convert", "@/nothing.wav", "@/out.mp3"} << "" << "is not a valid file!";
    QTest::newRow("sample rate of 1.5 GHz") << QStringList{"convert", "@/absurd.wav", "@/out.wav"} << "" << "absurd.wav is not a valid file!";
    QTest::newRow("unsupported mp3") << QStringList{"convert", "@/source.wav", "@/out.mp3"} << "8" << "This MP3 format is not supported!";
    QTest::newRow("existing output") << QStringList{"convert", "@/source.wav", "@/source.mp3"} << "" << "already exists";
    QTest::newRow("same file") << QStringList{"convert", "--force", "@/source.wav", "@/source.wav"} << "" << "same file";
    QTest::newRow("unknown output type") << QStringList{"convert", "@/source.wav", "@/out.ape"} << "" << "Failed to create file";
    QTest::newRow("bad ratio") << QStringList{"convert", "--normalize", "loud", "@/source.wav", "@/out.wav"} << "" << "--normalize";
    QTest::newRow("ratio nan") << QStringList{"convert", "--normalize", "nan", "@/source.wav", "@/out.wav"} << "" << "--normalize";
    QTest::newRow("ratio inf") << QStringList{"convert", "--normalize", "-inf", "@/source.wav", "@/out.wav"} << "" << "--normalize";
    QTest::newRow("one file only") << QStringList{"convert", "@/source.wav"} << "" << "expected 2";
    QTest::newRow("unknown option") << QStringList{"convert", "--fast", "@/source.wav", "@/out.wav"} << "" << "fast";
    QTest::newRow("unknown command") << QStringList{"burn", "@/source.wav"} << "" << "unknown command";
    QTest::newRow("tag bad genre") << QStringList{"tag", "@/source.wav", "--genre", "200"} << "" << "--genre";
    QTest::newRow("tag missing file") << QStringList{"tag", "@/none.mp3", "--title", "x"} << "" << "cannot write tags";
    QTest::newRow("tag without a field") << QStringList{"tag", "@/source.wav"} << "" << "no field";
}

// Every failure: status 1, one line on stderr, and no file left behind or overwritten.
void TestHarveloCli::failures()
{
    QFETCH(QStringList, args);
    QFETCH(QString, mp3Bitrate);
    QFETCH(QString, message);
    if (!mp3Bitrate.isEmpty())
        IniFile().writeString(QStringLiteral("mp3 settings"), QStringLiteral("bitrate"), mp3Bitrate);
    const QString existing = m_dir.filePath(QStringLiteral("source.mp3"));
    QFile keep(existing);
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.write("keep me");
    keep.close();
    args.replaceInStrings(QStringLiteral("@"), m_dir.path());

    const ProcessResult result = runCli(args);
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("out.mp3"))));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("out.wav"))));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("out.flac"))));
    QVERIFY(keep.open(QIODevice::ReadOnly));
    QCOMPARE(keep.readAll(), QByteArray("keep me"));
}

void TestHarveloCli::tagWritesBothMp3Versions()
{
    const QString target = m_dir.filePath(QStringLiteral("song.mp3"));
    QCOMPARE(runCli({QStringLiteral("convert"), m_source, target}).status, 0);
    const ProcessResult result = runCli({QStringLiteral("tag"), target, QStringLiteral("--title"), QStringLiteral("Song"),
                                     QStringLiteral("--artist"), QStringLiteral("Band"), QStringLiteral("--album"),
                                     QStringLiteral("Record"), QStringLiteral("--genre"), QStringLiteral("17"),
                                     QStringLiteral("--track"), QStringLiteral("3")});
    QCOMPARE(result.status, 0);
    const ProbeResult probe = probeAudio(target);
    QCOMPARE(probe.tags.value(QStringLiteral("title")), QStringLiteral("Song"));
    QCOMPARE(probe.tags.value(QStringLiteral("artist")), QStringLiteral("Band"));
    QCOMPARE(probe.tags.value(QStringLiteral("album")), QStringLiteral("Record"));
    QCOMPARE(probe.tags.value(QStringLiteral("genre")), QStringLiteral("Rock"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("ID3\x03"));
    QVERIFY(bytes.right(128).startsWith("TAGSong"));
}

void TestHarveloCli::convertRefusesLinksToTheInput_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("refused");
    QTest::newRow("symbolic link") << "symlink" << true;
    QTest::newRow("hard link") << "hardlink" << true;
    QTest::newRow("through a linked folder") << "folderlink" << true;
    // A killed run's part file of the output: a new run makes a part file of its own.
    QTest::newRow("input is a leftover part file of the output") << "part" << false;
}

// Writing through another name of the input would destroy it, whatever --force says.
void TestHarveloCli::convertRefusesLinksToTheInput()
{
    QFETCH(QString, how);
    QFETCH(bool, refused);
    const QByteArray original = fileBytes(m_source);
    QString output = m_dir.filePath(QStringLiteral("link.wav"));
    const QString leftover = m_dir.filePath(QStringLiteral(".link.harvelo-part.wav"));
    if (how == QLatin1String("symlink"))
        QVERIFY(QFile::link(m_source, output));
    else if (how == QLatin1String("hardlink"))
        QCOMPARE(::link(QFile::encodeName(m_source).constData(), QFile::encodeName(output).constData()), 0);
    else if (how == QLatin1String("part"))
        QVERIFY(QFile::rename(m_source, leftover) && QFile::link(leftover, m_source));
    else {
        QVERIFY(QFile::link(m_dir.path(), m_dir.filePath(QStringLiteral("same"))));
        output = m_dir.filePath(QStringLiteral("same/source.wav"));
    }
    const ProcessResult result = runCli({QStringLiteral("convert"), QStringLiteral("--force"), m_source, output});
    QCOMPARE(result.status, refused ? 1 : 0);
    QVERIFY2(result.err.contains("same file") == refused, result.err.constData());
    QCOMPARE(fileBytes(m_source), original);
}

void TestHarveloCli::forceKeepsTheOldOutputOnAFullDisk_data()
{
    QTest::addColumn<QString>("ext");
    for (const char *ext : {"wav", "mp3", "ogg", "wma"})
        QTest::newRow(ext) << QString::fromLatin1(ext);
}

// The output folder holds 32 KB: the conversion fails, is told, and the old output survives.
void TestHarveloCli::forceKeepsTheOldOutputOnAFullDisk()
{
    QFETCH(QString, ext);
    const QString input = m_dir.filePath(QStringLiteral("long.wav"));
    QVERIFY(writeSineWav(input, {10.0, 44100, 2, 440.0, 0.5}));
    SmallFolder small(m_dir.filePath(QStringLiteral("small")), 32 * 1024);
    const QString output = small.path() + QStringLiteral("/out.") + ext;
    QVERIFY(writeFileBytes(output, "keep me"));
    ProcessResult result;
    small.limited([&] { result = runCli({QStringLiteral("convert"), QStringLiteral("--force"), input, output}); });
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains("cannot write the output"), result.err.constData());
    QCOMPARE(fileBytes(output), QByteArray("keep me"));
    QCOMPARE(small.entries(), QStringList{QStringLiteral("out.") + ext});
}

// A kill in the middle leaves the old output as it was and a part file that says what it is.
void TestHarveloCli::killedMidWriteLeavesNoOutput()
{
    const QString input = m_dir.filePath(QStringLiteral("long.wav"));
    QVERIFY(writeSineWav(input, {30.0, 44100, 2, 440.0, 0.5}));
    const QString output = m_dir.filePath(QStringLiteral("out.mp3"));
    QVERIFY(writeFileBytes(output, "keep me"));
    QString part;
    const auto partWritten = [&] {
        const QStringList parts = m_dir.entryList({QStringLiteral(".out.*")}, QDir::Files | QDir::Hidden);
        part = parts.isEmpty() ? QString() : m_dir.filePath(parts.first());
        return !part.isEmpty() && QFileInfo(part).size() > 0;
    };
    QProcess cli;
    cli.start(QStringLiteral(HARVELO_CLI_PATH), {QStringLiteral("convert"), QStringLiteral("--force"), input, output});
    QVERIFY(cli.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(partWritten() || cli.state() == QProcess::NotRunning, 30000);
    QVERIFY2(cli.state() == QProcess::Running, "the conversion ended before a part file was seen");
    cli.kill();
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitStatus(), QProcess::CrashExit);
    QCOMPARE(fileBytes(output), QByteArray("keep me"));
    QVERIFY(QFileInfo(part).isHidden());
    QVERIFY(PartFile::isPartName(QFileInfo(part).fileName()));
}

void TestHarveloCli::tagChangesOnlyTheGivenFields_data()
{
    QTest::addColumn<QString>("ext");
    for (const char *ext : {"mp3", "ogg", "wav", "flac", "opus"})
        QTest::newRow(ext) << QString::fromLatin1(ext);
}

void TestHarveloCli::tagChangesOnlyTheGivenFields()
{
    QFETCH(QString, ext);
    const QString file = m_dir.filePath(QStringLiteral("song.") + ext);
    QCOMPARE(runCli({QStringLiteral("convert"), m_source, file}).status, 0);
    QCOMPARE(runCli({QStringLiteral("tag"), file, QStringLiteral("--title"), QStringLiteral("Old"),
                     QStringLiteral("--artist"), QStringLiteral("Band"), QStringLiteral("--album"),
                     QStringLiteral("Record"), QStringLiteral("--genre"), QStringLiteral("17")}).status, 0);
    QCOMPARE(runCli({QStringLiteral("tag"), file, QStringLiteral("--title"), QStringLiteral("New")}).status, 0);
    ProbeResult probe = probeAudio(file);
    QCOMPARE(probe.tags.value(QStringLiteral("title")), QStringLiteral("New"));
    QCOMPARE(probe.tags.value(QStringLiteral("artist")), QStringLiteral("Band"));
    QCOMPARE(probe.tags.value(QStringLiteral("album")), QStringLiteral("Record"));
    QCOMPARE(probe.tags.value(QStringLiteral("genre")), QStringLiteral("Rock"));
    // --clear writes every field, as a rip does.
    QCOMPARE(runCli({QStringLiteral("tag"), file, QStringLiteral("--clear"), QStringLiteral("--title"), QStringLiteral("Last")}).status, 0);
    probe = probeAudio(file);
    QCOMPARE(probe.tags.value(QStringLiteral("title")), QStringLiteral("Last"));
    QVERIFY(probe.tags.value(QStringLiteral("artist")).isEmpty());
    QVERIFY(probe.tags.value(QStringLiteral("album")).isEmpty());
    QCOMPARE(m_dir.entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("harvelo-part")), QStringList());
}

void TestHarveloCli::tagNeverDamagesTheAudio_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<SizeLie>("lie");
    QTest::addColumn<QByteArray>("refusal"); // empty when tagged; else the file is left as it was
    const QByteArray damage("would damage its audio; it is left as it was");
    QTest::newRow("mp3") << "song.mp3" << SizeLie::None << QByteArray();
    QTest::newRow("wma") << "song.wma" << SizeLie::None << QByteArray();
    QTest::newRow("mp3 whose ID3v2 tag has bad version bytes") << "song.mp3" << SizeLie::Id3v2BadVersion << damage;
    QTest::newRow("wma whose ASF header claims 4 GB") << "song.wma" << SizeLie::AsfHugeHeader << damage;
    QTest::newRow("wma whose ASF header claims less than its own fields")
        << "song.wma" << SizeLie::AsfShortHeader << QByteArray("cannot write tags into");
}

// The tagger trusts the sizes a file declares: a file whose sizes lie is refused with a
// message, never shortened, and its audio decodes as before either way. The folder holds 1 MB,
// so a tagger that copies the file into itself without end fails instead of filling the disk.
void TestHarveloCli::tagNeverDamagesTheAudio()
{
    QFETCH(QString, name);
    QFETCH(SizeLie, lie);
    QFETCH(QByteArray, refusal);
    SmallFolder small(m_dir.filePath(QStringLiteral("small")), 1 << 20);
    const QString file = small.path() + QLatin1Char('/') + name;
    QVERIFY(writeLyingFile(file, lie));
    const QByteArray bytes = fileBytes(file);
    const std::vector<int16_t> audio = decodeWithFfmpeg(file);
    QVERIFY(audio.size() > 44100 * 2);
    ProcessResult result;
    small.limited([&] { result = runCli({QStringLiteral("tag"), file, QStringLiteral("--title"), QStringLiteral("X")}); });
    QCOMPARE(result.status, refusal.isEmpty() ? 0 : 1);
    QVERIFY(decodeWithFfmpeg(file) == audio);
    if (refusal.isEmpty()) {
        QCOMPARE(probeAudio(file).tags.value(QStringLiteral("title")), QStringLiteral("X"));
    } else {
        QVERIFY2(result.err.contains(refusal), result.err.constData());
        QCOMPARE(fileBytes(file), bytes);
    }
    QCOMPARE(small.entries(), QStringList{name});
}

HARVELO_TEST_MAIN(TestHarveloCli, QCoreApplication)
#include "tst_harvelo_cli.moc"
