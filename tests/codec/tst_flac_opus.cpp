#include "codec/audio_file.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>
#include <cstdint>

namespace {

// Noise over the whole 16-bit range: a lossless coder has nothing to round away.
std::vector<int16_t> noise(int frames, int channels)
{
    std::vector<int16_t> samples(size_t(frames) * size_t(channels));
    uint32_t seed = 4711;
    for (int16_t &s : samples) {
        seed = seed * 1664525u + 1013904223u;
        s = int16_t(seed >> 16);
    }
    return samples;
}

ProcessResult runCli(const QStringList &args)
{
    return runProgram(QStringLiteral(HARVELO_CLI_PATH), args);
}

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

int64_t framesOf(const ReadResult &read)
{
    return read.channels > 0 ? int64_t(read.samples.size()) / read.channels : 0;
}

} // namespace

// FLAC and Opus as independent decoders see them: flac -d and ffmpeg give back every sample of
// a FLAC file, ffmpeg and opusdec the exact length of an Opus file, and files of both formats
// convert to every format.
class TestFlacOpus : public QObject {
    Q_OBJECT

private slots:
    void flacIsBitExact_data();
    void flacIsBitExact();
    void deepFlacReadsAsDeepWav_data();
    void deepFlacReadsAsDeepWav();
    void opusHasTheExactLength_data();
    void opusHasTheExactLength();
    void convertsToEveryFormat_data();
    void convertsToEveryFormat();
    void emptyInputMakesAnEmptyFile_data();
    void emptyInputMakesAnEmptyFile();
};

void TestFlacOpus::flacIsBitExact_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("frames");
    QTest::newRow("level 5 stereo") << 5 << false << 44100 << 2 << 100000;
    QTest::newRow("level 0 verify") << 0 << true << 44100 << 2 << 4097;
    QTest::newRow("level 8 mono 22050") << 8 << false << 22050 << 1 << 30001;
    QTest::newRow("six channels 48000") << 5 << false << 48000 << 6 << 12345;
}

void TestFlacOpus::flacIsBitExact()
{
    QFETCH(int, level);
    QFETCH(bool, verify);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, frames);
    const QDir dir(testEnv().makeDir(QStringLiteral("flac-exact")));
    const QString source = dir.filePath(QStringLiteral("in.wav"));
    const QString flac = dir.filePath(QStringLiteral("out.flac"));
    const QString decoded = dir.filePath(QStringLiteral("decoded.wav"));
    const std::vector<int16_t> samples = noise(frames, channels);
    QVERIFY(writeWav(source, samples, rate, channels));

    AudioFile writer;
    writer.SetFlacFormat(level, verify);
    QCOMPARE(convertWithAudioFile(source, writer, flac), 0);

    QCOMPARE(runProgram(tool("flac"), {"-d", "-s", "-f", "-o", decoded, flac}).status, 0);
    QVERIFY(readWithAudioFile(decoded).samples == samples);
    QVERIFY(decodeWithFfmpeg(flac) == samples);
    const ReadResult ours = readWithAudioFile(flac);
    QCOMPARE(ours.error, 0);
    QCOMPARE(ours.rate, rate);
    QCOMPARE(ours.sampleCount, int64_t(frames));
    QVERIFY(ours.samples == samples);
}

void TestFlacOpus::deepFlacReadsAsDeepWav_data()
{
    QTest::addColumn<int>("bits");
    QTest::newRow("24-bit") << 24;
    QTest::newRow("20-bit") << 20;
    QTest::newRow("8-bit") << 8;
}

// A deeper or shallower FLAC file reads exactly as the WAV file of the same depth does.
void TestFlacOpus::deepFlacReadsAsDeepWav()
{
    QFETCH(int, bits);
    const QDir dir(testEnv().makeDir(QStringLiteral("flac-deep")));
    const QString source = dir.filePath(QStringLiteral("in.wav"));
    const QString deepWav = dir.filePath(QStringLiteral("deep.wav"));
    const QString deepFlac = dir.filePath(QStringLiteral("deep.flac"));
    QVERIFY(writeWav(source, noise(20000, 2), 44100, 2));
    // sox dithers down or pads with zeros; the same samples go into both files.
    QCOMPARE(runProgram(tool("sox"), {source, "-b", QString::number(bits), deepWav}).status, 0);
    QCOMPARE(runProgram(tool("flac"), {"-s", "-f", "-o", deepFlac, deepWav}).status, 0);
    const ReadResult wav = readWithAudioFile(deepWav);
    const ReadResult flac = readWithAudioFile(deepFlac);
    QCOMPARE(wav.error, 0);
    QCOMPARE(flac.error, 0);
    QCOMPARE(framesOf(flac), int64_t(20000));
    QVERIFY(flac.samples == wav.samples);
}

void TestFlacOpus::opusHasTheExactLength_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("mode");
    // 588 frames are one CD sector: 640 frames at 48 kHz.
    QTest::newRow("CD audio, 300 sectors") << 44100 << 2 << 588 * 300 << 0;
    QTest::newRow("48000 mono, odd length") << 48000 << 1 << 48001 << 2;
    QTest::newRow("48000 stereo, under one packet") << 48000 << 2 << 500 << 1;
}

void TestFlacOpus::opusHasTheExactLength()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, frames);
    QFETCH(int, mode);
    const QDir dir(testEnv().makeDir(QStringLiteral("opus-length")));
    const QString source = dir.filePath(QStringLiteral("in.wav"));
    const QString opus = dir.filePath(QStringLiteral("out.opus"));
    const QString decoded = dir.filePath(QStringLiteral("decoded.wav"));
    QVERIFY(writeWav(source, noise(frames, channels), rate, channels));
    AudioFile writer;
    writer.SetOpusFormat(160, mode);
    QCOMPARE(convertWithAudioFile(source, writer, opus), 0);

    const int64_t expected = int64_t(frames) * 48000 / rate;
    QCOMPARE(int64_t(decodeWithFfmpeg(opus).size()) / channels, expected);
    QCOMPARE(runProgram(tool("opusdec"), {"--quiet", "--rate", "48000", opus, decoded}).status, 0);
    QCOMPARE(framesOf(readWithAudioFile(decoded)), expected);
    const ReadResult ours = readWithAudioFile(opus);
    QCOMPARE(ours.error, 0);
    QCOMPARE(ours.rate, 48000);
    QCOMPARE(ours.sampleCount, expected);
    QCOMPARE(framesOf(ours), expected);
}

void TestFlacOpus::convertsToEveryFormat_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("codec");
    for (const char *from : {"flac", "opus"}) {
        const QList<std::pair<const char *, const char *>> targets{
            {"wav", "pcm_s16le"}, {"mp3", "mp3"}, {"ogg", "vorbis"}, {"wma", "wmav2"},
            {"flac", "flac"}, {"opus", "opus"}};
        for (const auto &[to, codec] : targets)
            QTest::addRow("%s to %s", from, to) << from << to << codec;
    }
}

// harvelo-cli makes the source from a WAV file and converts it on with the default settings.
void TestFlacOpus::convertsToEveryFormat()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, codec);
    testEnv().clearIni();
    const QDir dir(testEnv().makeDir(QStringLiteral("every-") + from + to));
    const QString wav = dir.filePath(QStringLiteral("in.wav"));
    const QString source = dir.filePath(QStringLiteral("source.") + from);
    const QString target = dir.filePath(QStringLiteral("target.") + to);
    QVERIFY(writeSineWav(wav, {1.5, 44100, 2}));
    QCOMPARE(runCli({QStringLiteral("convert"), wav, source}).status, 0);
    const ProcessResult result = runCli({QStringLiteral("convert"), source, target});
    QVERIFY2(result.status == 0, result.err.constData());

    const ProbeResult probe = probeAudio(target);
    QVERIFY(probe.ok);
    QCOMPARE(probe.codec, codec);
    QVERIFY2(qAbs(probe.seconds - 1.5) < 0.1, qPrintable(QString::number(probe.seconds)));
    const ReadResult back = readWithAudioFile(target);
    QCOMPARE(back.error, 0);
    const std::vector<int16_t> expected = sineSamples({1.5, back.rate, 2});
    QVERIFY(bestCorrelation(expected, back.samples, 2, 0, 8) > 0.9);
    // FLAC to a lossless format keeps every sample.
    if (from == QLatin1String("flac") && (to == QLatin1String("wav") || to == QLatin1String("flac")))
        QVERIFY(back.samples == readWithAudioFile(wav).samples);
}

void TestFlacOpus::emptyInputMakesAnEmptyFile_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("frames"); // of silence: an Opus stream cannot end without a frame
    QTest::newRow("flac") << "flac" << 0;
    QTest::newRow("opus") << "opus" << 2;
}

// A WAV file without frames (and a rip or encode stopped before its first block) makes a valid
// file without audio, not a crash.
void TestFlacOpus::emptyInputMakesAnEmptyFile()
{
    QFETCH(QString, ext);
    QFETCH(int, frames);
    const QDir dir(testEnv().makeDir(QStringLiteral("empty-") + ext));
    const QString source = dir.filePath(QStringLiteral("empty.wav"));
    const QString target = dir.filePath(QStringLiteral("empty.") + ext);
    QVERIFY(writeWav(source, {}, 44100, 2));
    AudioFile writer;
    QCOMPARE(convertWithAudioFile(source, writer, target), 0);
    QVERIFY(probeAudio(target).ok);
    QCOMPARE(decodeWithFfmpeg(target), std::vector<int16_t>(size_t(frames) * 2));
    const ReadResult back = readWithAudioFile(target);
    QCOMPARE(back.error, 0);
    QCOMPARE(back.samples, std::vector<int16_t>(size_t(frames) * 2));
}

HARVELO_TEST_MAIN(TestFlacOpus, QCoreApplication)
#include "tst_flac_opus.moc"
