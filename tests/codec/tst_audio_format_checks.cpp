#include "codec/audio_file.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>
#include <vorbis/vorbisenc.h>

namespace {

// libvorbisenc's own answer through its one-call set-up, independent of the component's path.
bool vorbisEncodeInitAccepts(int rate, int channels, int kbps, int minKbps, int maxKbps)
{
    vorbis_info info;
    vorbis_info_init(&info);
    const int result = vorbis_encode_init(&info, channels, rate, maxKbps > 0 ? maxKbps * 1000L : -1,
                                          kbps * 1000L, minKbps > 0 ? minKbps * 1000L : -1);
    vorbis_info_clear(&info);
    return result == 0;
}

} // namespace

class TestAudioFormatChecks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void mp3_data();
    void mp3();
    void ogg_data();
    void ogg();
    void wmaProfiles_data();
    void wmaProfiles();
    void encoderSetupFailures_data();
    void encoderSetupFailures();

private:
    QString m_source;
};

void TestAudioFormatChecks::initTestCase()
{
    m_source = QDir(testEnv().makeDir(QStringLiteral("source"))).filePath(QStringLiteral("one.wav"));
    QVERIFY(writeSineWav(m_source, {1.0, 44100, 2}));
}

void TestAudioFormatChecks::mp3_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("kbps");
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("supported");
    QTest::newRow("44100 8k is refused") << 44100 << 8 << 2 << false;
    QTest::newRow("44100 16k is refused") << 44100 << 16 << 1 << false;
    QTest::newRow("48000 24k is refused") << 48000 << 24 << 2 << false;
    QTest::newRow("32000 32k mono") << 32000 << 32 << 1 << true;
    QTest::newRow("44100 40k") << 44100 << 40 << 2 << true;
    QTest::newRow("44100 128k") << 44100 << 128 << 2 << true;
    QTest::newRow("48000 320k") << 48000 << 320 << 2 << true;
    QTest::newRow("44100 100k is no MP3 rate") << 44100 << 100 << 2 << false;
}

// The answer agrees with the file LAME then makes: supported combinations come out exactly as
// asked, refused ones come out at another rate or bit rate.
void TestAudioFormatChecks::mp3()
{
    QFETCH(int, frequency);
    QFETCH(int, kbps);
    QFETCH(int, channels);
    QFETCH(bool, supported);
    AudioFile writer;
    QCOMPARE(writer.IsMp3FormatSupported(frequency, kbps, channels), supported);

    writer.SetMp3Format(frequency, kbps, channels);
    const QString target = QDir(testEnv().makeDir(QStringLiteral("mp3"))).filePath(QStringLiteral("out.mp3"));
    QCOMPARE(convertWithAudioFile(m_source, writer, target), 0);
    const ProbeResult probe = probeAudio(target);
    QVERIFY(probe.ok);
    const bool exact = probe.rate == frequency && probe.bitRate == kbps * 1000;
    QCOMPARE(exact, supported);
}

void TestAudioFormatChecks::ogg_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("kbps");
    QTest::addColumn<int>("minKbps");
    QTest::addColumn<int>("maxKbps");
    for (int frequency : {32000, 44100, 48000}) {
        for (int channels : {1, 2}) {
            for (int kbps : {48, 96, 128, 192, 320}) {
                QTest::addRow("%d Hz %d ch %dk", frequency, channels, kbps)
                    << frequency << channels << kbps << 0 << 0;
            }
        }
    }
    QTest::newRow("bounded 96-160") << 44100 << 2 << 128 << 96 << 160;
    QTest::newRow("bounded 48-48 mono") << 32000 << 1 << 48 << 48 << 48;
    QTest::newRow("bounded 256-320 mono") << 48000 << 1 << 320 << 256 << 320;
}

void TestAudioFormatChecks::ogg()
{
    QFETCH(int, frequency);
    QFETCH(int, channels);
    QFETCH(int, kbps);
    QFETCH(int, minKbps);
    QFETCH(int, maxKbps);
    AudioFile writer;
    const bool expected = vorbisEncodeInitAccepts(frequency, channels, kbps, minKbps, maxKbps);
    QCOMPARE(writer.IsOggFormatSupported(frequency, channels, kbps, minKbps, maxKbps), expected);

    // What is refused cannot be created; what is accepted is written as asked.
    writer.SetOggFormat(frequency, channels, kbps, minKbps, maxKbps, -1);
    const QString target = QDir(testEnv().makeDir(QStringLiteral("ogg"))).filePath(QStringLiteral("out.ogg"));
    writer.CreateFile(target, 0);
    QCOMPARE(writer.ErrorCode() == 0, expected);
    writer.CloseFile();
    if (expected) {
        const ProbeResult probe = probeAudio(target);
        QCOMPARE(probe.rate, frequency);
        QCOMPARE(probe.channels, channels);
    }
}

void TestAudioFormatChecks::wmaProfiles_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    const struct { int code, rate, channels; } profiles[] = {
        {1, 8000, 1},   {2, 8000, 1},   {3, 8000, 1},   {7, 8000, 2},   {4, 11025, 1},
        {5, 11025, 1},  {6, 16000, 1},  {8, 16000, 1},  {9, 16000, 1},  {10, 16000, 2},
        {12, 16000, 2}, {11, 22050, 1}, {13, 22050, 1}, {14, 22050, 2}, {16, 22050, 2},
        {17, 22050, 2}, {15, 32000, 1}, {18, 32000, 2}, {21, 32000, 2}, {22, 32000, 2},
        {19, 44100, 1}, {23, 44100, 1}, {20, 44100, 2}, {24, 44100, 2}, {25, 44100, 2},
        {26, 44100, 2}, {27, 44100, 2}, {28, 44100, 2}, {30, 44100, 2}, {32, 44100, 2},
        {29, 48000, 2}, {31, 48000, 2}, {33, 48000, 2},
    };
    for (const auto &p : profiles)
        QTest::addRow("code %d", p.code) << p.code << p.rate << p.channels;
}

void TestAudioFormatChecks::wmaProfiles()
{
    QFETCH(int, code);
    QFETCH(int, rate);
    QFETCH(int, channels);
    AudioFile writer;
    writer.setWmaFormatEnabled(true);
    QCOMPARE(writer.SetWmaFormat(code), 0);
    const QString target = QDir(testEnv().makeDir(QStringLiteral("wma"))).filePath(QStringLiteral("out.wma"));
    QCOMPARE(convertWithAudioFile(m_source, writer, target), 0);
    const ProbeResult probe = probeAudio(target);
    QCOMPARE(probe.codec, QStringLiteral("wmav2"));
    QCOMPARE(probe.rate, rate);
    QCOMPARE(probe.channels, channels);
    QVERIFY2(qAbs(probe.seconds - 1.0) < 0.2, qPrintable(QString::number(probe.seconds)));
}

void TestAudioFormatChecks::encoderSetupFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("wmaCode");
    QTest::addColumn<bool>("wmaEnabled");
    QTest::newRow("wma profile 0") << "out.wma" << 0 << true;
    QTest::newRow("wma profile 34") << "out.wma" << 34 << true;
    QTest::newRow("wma while disabled") << "out.wma" << 28 << false;
    QTest::newRow("unknown extension") << "out.ape" << 28 << true;
    QTest::newRow("missing directory") << "no/such/dir/out.wav" << 28 << true;
}

void TestAudioFormatChecks::encoderSetupFailures()
{
    QFETCH(QString, name);
    QFETCH(int, wmaCode);
    QFETCH(bool, wmaEnabled);
    const QDir dir(testEnv().makeDir(QStringLiteral("failures")));
    AudioFile writer;
    writer.setWmaFormatEnabled(wmaEnabled);
    writer.SetWmaFormat(wmaCode);
    writer.CreateFile(dir.filePath(name), 0);
    QVERIFY(writer.ErrorCode() != 0);
    SampleBlock block(sineSamples({0.1, 44100, 2}), 44100, 2);
    writer.WriteBlock(block);
    QVERIFY(writer.ErrorCode() != 0);
    writer.CloseFile();
    QVERIFY(!QFileInfo::exists(dir.filePath(name)));
}

HARVELO_TEST_MAIN(TestAudioFormatChecks, QCoreApplication)
#include "tst_audio_format_checks.moc"
