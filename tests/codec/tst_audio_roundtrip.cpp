#include "codec/audio_file.h"
#include "codec/vector_state.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>

namespace {

// Sets the encoder of `file` for the extension from the row's numbers, as the launch
// commands and the rip do.
void setUpEncoder(AudioFile &file, const QString &ext, const QList<int> &p)
{
    if (ext == QLatin1String("mp3"))
        file.SetMp3Format(p[0], p[1], p[2]);
    else if (ext == QLatin1String("ogg"))
        file.SetOggFormat(p[0], p[1], p[2], p[3], p[4], int16_t(p[5]));
    else if (ext == QLatin1String("wma"))
        file.SetWmaFormat(p[0]);
    else if (ext == QLatin1String("flac"))
        file.SetFlacFormat(p[0], p[1] != 0);
    else if (ext == QLatin1String("opus"))
        file.SetOpusFormat(p[0], p[1]);
}

// The signal the output should carry: the fixture at the output's rate, mixed or spread to
// the output's channels.
std::vector<int16_t> expectedSignal(double seconds, int inChannels, int outRate, int outChannels)
{
    const std::vector<int16_t> source = sineSamples({seconds, outRate, inChannels});
    if (inChannels == outChannels)
        return source;
    const size_t frames = source.size() / size_t(inChannels);
    std::vector<int16_t> result(frames * size_t(outChannels));
    for (size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (int c = 0; c < inChannels; ++c)
            sum += source[f * size_t(inChannels) + size_t(c)];
        for (int c = 0; c < outChannels; ++c)
            result[f * size_t(outChannels) + size_t(c)] = int16_t(sum / inChannels);
    }
    return result;
}

// Leaves the upper halves of the AVX registers in use, as Qt's string hash does; true when the
// CPU reports it.
#if defined(__x86_64__) || defined(__i386__)
// Plain assembly: a function built for AVX would get the compiler's own clearing at its end.
bool dirtyUpperVectorState()
{
    if (!__builtin_cpu_supports("avx"))
        return false;
    const float one = 1.0f;
    __asm__ volatile("vbroadcastss %0, %%ymm0" : : "m"(one) : "xmm0");
    return upperVectorStateInUse();
}
#else
bool dirtyUpperVectorState()
{
    return false;
}
#endif

} // namespace

class TestAudioRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void closedAfterStopIsPlayable_data();
    void closedAfterStopIsPlayable();
    void codecsRunWithCleanVectorState_data() { closedAfterStopIsPlayable_data(); }
    void codecsRunWithCleanVectorState();
};

void TestAudioRoundTrip::roundTrip_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("inRate");
    QTest::addColumn<int>("inChannels");
    QTest::addColumn<QList<int>>("params");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("outRate");
    QTest::addColumn<int>("outChannels");
    QTest::addColumn<int>("kbps");       // 0: no bit rate to check
    QTest::addColumn<int>("frameLength"); // the encoder's frame: the duration's tolerance

    QTest::newRow("wav stereo") << "wav" << 2.0 << 44100 << 2 << QList<int>{} << "pcm_s16le" << 44100 << 2 << 0 << 1;
    QTest::newRow("wav mono 22050") << "wav" << 0.9999 << 22050 << 1 << QList<int>{} << "pcm_s16le" << 22050 << 1 << 0 << 1;
    QTest::newRow("mp3 128k") << "mp3" << 2.0 << 44100 << 2 << QList<int>{44100, 128, 2} << "mp3" << 44100 << 2 << 128 << 1152;
    QTest::newRow("mp3 mono 64k") << "mp3" << 1.2345 << 44100 << 2 << QList<int>{44100, 64, 1} << "mp3" << 44100 << 1 << 64 << 1152;
    QTest::newRow("mp3 48000 from 44100") << "mp3" << 2.0 << 44100 << 2 << QList<int>{48000, 192, 2} << "mp3" << 48000 << 2 << 192 << 1152;
    QTest::newRow("mp3 stereo from mono") << "mp3" << 2.0 << 32000 << 1 << QList<int>{32000, 96, 2} << "mp3" << 32000 << 2 << 96 << 1152;
    QTest::newRow("ogg 128k") << "ogg" << 1.7771 << 44100 << 2 << QList<int>{44100, 2, 128, 0, 0, -1} << "vorbis" << 44100 << 2 << 128 << 2048;
    QTest::newRow("ogg 96-160 bounded") << "ogg" << 2.0 << 44100 << 2 << QList<int>{44100, 2, 128, 96, 160, -1} << "vorbis" << 44100 << 2 << 128 << 2048;
    QTest::newRow("ogg quality 48000") << "ogg" << 2.0 << 44100 << 2 << QList<int>{48000, 2, 128, 0, 0, 500} << "vorbis" << 48000 << 2 << 0 << 2048;
    QTest::newRow("ogg mono 32000") << "ogg" << 2.0 << 44100 << 2 << QList<int>{32000, 1, 64, 0, 0, -1} << "vorbis" << 32000 << 1 << 64 << 2048;
    QTest::newRow("wma 128k") << "wma" << 1.5003 << 44100 << 2 << QList<int>{28} << "wmav2" << 44100 << 2 << 128 << 2048;
    QTest::newRow("wma 16000 stereo") << "wma" << 2.0 << 44100 << 2 << QList<int>{10} << "wmav2" << 16000 << 2 << 24 << 512;
    QTest::newRow("flac -5") << "flac" << 1.7771 << 44100 << 2 << QList<int>{5, 0} << "flac" << 44100 << 2 << 0 << 1;
    QTest::newRow("flac -8 verify mono 22050") << "flac" << 0.9999 << 22050 << 1 << QList<int>{8, 1} << "flac" << 22050 << 1 << 0 << 1;
    QTest::newRow("opus vbr 160") << "opus" << 1.7771 << 44100 << 2 << QList<int>{160, 0} << "opus" << 48000 << 2 << 0 << 960;
    QTest::newRow("opus hard cbr 64 mono") << "opus" << 2.0 << 48000 << 1 << QList<int>{64, 2} << "opus" << 48000 << 1 << 64 << 960;
    QTest::newRow("wma 48000 from mono") << "wma" << 2.0 << 22050 << 1 << QList<int>{33} << "wmav2" << 48000 << 2 << 192 << 2048;
}

void TestAudioRoundTrip::roundTrip()
{
    QFETCH(QString, ext);
    QFETCH(double, seconds);
    QFETCH(int, inRate);
    QFETCH(int, inChannels);
    QFETCH(QList<int>, params);
    QFETCH(QString, codec);
    QFETCH(int, outRate);
    QFETCH(int, outChannels);
    QFETCH(int, kbps);
    QFETCH(int, frameLength);

    const QDir dir(testEnv().makeDir(QStringLiteral("roundtrip")));
    const QString source = dir.filePath(QStringLiteral("source.wav"));
    const QString target = dir.filePath(QStringLiteral("target.") + ext);
    QVERIFY(writeSineWav(source, {seconds, inRate, inChannels}));

    AudioFile writer;
    writer.setWmaFormatEnabled(true);
    setUpEncoder(writer, ext, params);
    QCOMPARE(convertWithAudioFile(source, writer, target), 0);

    const ProbeResult probe = probeAudio(target);
    QVERIFY(probe.ok);
    QCOMPARE(probe.codec, codec);
    QCOMPARE(probe.rate, outRate);
    QCOMPARE(probe.channels, outChannels);
    // The header's duration counts whole frames, the encoder's delay and padding included.
    QVERIFY2(qAbs(probe.seconds - seconds) <= 2.0 * frameLength / outRate + 0.001,
             qPrintable(QString::number(probe.seconds)));
    if (kbps > 0)
        QVERIFY2(qAbs(probe.bitRate - kbps * 1000) <= kbps * 200, qPrintable(QString::number(probe.bitRate)));

    const ReadResult back = readWithAudioFile(target);
    QCOMPARE(back.error, 0);
    QCOMPARE(back.rate, outRate);
    QCOMPARE(back.channels, outChannels);
    const int64_t frames = int64_t(back.samples.size()) / outChannels;
    const int64_t expectedFrames = std::llround(seconds * outRate);
    QCOMPARE(back.sampleCount, frames);
    if (outRate == inRate && ext != QLatin1String("wma"))
        QCOMPARE(frames, expectedFrames);
    else
        QVERIFY2(frames >= expectedFrames - 8 && frames < expectedFrames + frameLength,
                 qPrintable(QString::number(frames)));

    // Aligned with the original: the same waveform at lag 0 (a few frames of filter delay
    // allowed where the rate changed).
    const std::vector<int16_t> expected = expectedSignal(seconds, inChannels, outRate, outChannels);
    const int lag = outRate == inRate ? 0 : 4;
    for (int c = 0; c < outChannels; ++c)
        QVERIFY2(bestCorrelation(expected, back.samples, outChannels, c, lag) > 0.9,
                 qPrintable(QString::number(bestCorrelation(expected, back.samples, outChannels, c, lag))));
    // The independent decoder finds the duration within one encoder frame (WMA: and the silent
    // frame that completes the last one), and the waveform.
    const std::vector<int16_t> other = decodeWithFfmpeg(target);
    const int completing = ext == QLatin1String("wma") ? frameLength : 0;
    QVERIFY2(qAbs(int64_t(other.size()) / outChannels - expectedFrames) <= frameLength + completing,
             qPrintable(QString::number(other.size() / size_t(outChannels))));
    QVERIFY(bestCorrelation(expected, other, outChannels, 0, lag) > 0.9);
}

void TestAudioRoundTrip::closedAfterStopIsPlayable_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("rate"); // of the file: Opus is always 48 kHz
    QTest::newRow("wav") << "wav" << 44100;
    QTest::newRow("mp3") << "mp3" << 44100;
    QTest::newRow("ogg") << "ogg" << 44100;
    QTest::newRow("wma") << "wma" << 44100;
    QTest::newRow("flac") << "flac" << 44100;
    QTest::newRow("opus") << "opus" << 48000;
}

// A job stopped part-way closes the file after some blocks: the result is a shorter, valid file.
void TestAudioRoundTrip::closedAfterStopIsPlayable()
{
    QFETCH(QString, ext);
    QFETCH(int, rate);
    const QDir dir(testEnv().makeDir(QStringLiteral("stopped")));
    // A name with blanks, a colon and non-ASCII letters reaches every library intact.
    const QString target = dir.filePath(QStringLiteral("part: ü é.") + ext);
    AudioFile writer;
    writer.setWmaFormatEnabled(true);
    writer.CreateFile(target, 0);
    QCOMPARE(writer.ErrorCode(), 0);
    writer.SetPcmFormat(44100, 2);
    SampleBlock block(sineSamples({1.0, 44100, 2}), 44100, 2);
    writer.WriteBlock(block);
    QCOMPARE(writer.ErrorCode(), 0);
    writer.CloseFile();
    writer.CloseFile(); // a second close, as the rip window's close handling makes, is harmless

    const ProbeResult probe = probeAudio(target);
    QVERIFY(probe.ok);
    QCOMPARE(probe.rate, rate);
    // WMA: within a frame, and the silent one that completes it.
    const int frames = ext == QLatin1String("wma") ? 2 : 1;
    QVERIFY(qAbs(int64_t(decodeWithFfmpeg(target).size()) / 2 - rate) <= 2048 * frames);
}

// The libraries, built for SSE, run at their speed only with the upper AVX halves cleared:
// every block handed to them, written or read, starts clean whatever ran before it.
void TestAudioRoundTrip::codecsRunWithCleanVectorState()
{
    QFETCH(QString, ext);
    if (!dirtyUpperVectorState())
        QSKIP("this CPU does not report the AVX state in use");
    const QString target =
        QDir(testEnv().makeDir(QStringLiteral("vector"))).filePath(QStringLiteral("clean.") + ext);
    AudioFile file;
    file.setWmaFormatEnabled(true);
    file.CreateFile(target, 0);
    SampleBlock block(sineSamples({0.5, 44100, 2}), 44100, 2);
    QVERIFY(dirtyUpperVectorState());
    file.WriteBlock(block);
    QVERIFY2(!upperVectorStateInUse(), "after WriteBlock");
    QVERIFY(dirtyUpperVectorState());
    WideSampleBlock wide;
    wide.sampleRate = 44100;
    wide.channels = 2;
    wide.samples.assign(block.samples.begin(), block.samples.end());
    file.writeWideBlock(wide);
    QVERIFY2(!upperVectorStateInUse(), "after writeWideBlock");
    file.CloseFile();
    QCOMPARE(file.ErrorCode(), 0);

    file.OpenFile(target, 0, 1);
    QCOMPARE(file.ErrorCode(), 0);
    QVERIFY(dirtyUpperVectorState());
    QVERIFY(!file.ReadBlock(4410).isEmpty());
    QVERIFY2(!upperVectorStateInUse(), "after ReadBlock");
    QVERIFY(dirtyUpperVectorState());
    QVERIFY(!file.readWideBlock(4410).isEmpty());
    QVERIFY2(!upperVectorStateInUse(), "after readWideBlock");
}

HARVELO_TEST_MAIN(TestAudioRoundTrip, QCoreApplication)
#include "tst_audio_roundtrip.moc"
