#include "codec/audio_file.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QtTest>
#include <cmath>

namespace {

// Makes a WAV with sox in the given encoding: `seconds` of a 1 kHz sine at `gainDb` (dBFS) on
// both channels, without sox's own dither.
bool soxTone(const QString &path, const QStringList &encoding, double gainDb, double seconds = 1.0)
{
    QStringList args{QStringLiteral("-D"), QStringLiteral("-n")};
    args << encoding << QStringLiteral("-c") << QStringLiteral("2") << QStringLiteral("-r")
         << QStringLiteral("44100") << path << QStringLiteral("synth") << QString::number(seconds)
         << QStringLiteral("sine") << QStringLiteral("1000") << QStringLiteral("gain")
         << QString::number(gainDb);
    return runProgram(QStringLiteral("sox"), args).status == 0;
}

const QStringList kFloat{QStringLiteral("-e"), QStringLiteral("floating-point")};

} // namespace

// Sources deeper than 16 bits: read as 16-bit blocks they are rounded with TPDF dither, not
// truncated; converted to WAV or FLAC they keep their depth.
class TestAudioDepth : public QObject {
    Q_OBJECT

private slots:
    void init();
    void deepSourcesAreDitheredTo16Bits_data();
    void deepSourcesAreDitheredTo16Bits();
    void wavTargetsKeepTheDepth_data();
    void wavTargetsKeepTheDepth();

private:
    QDir m_dir;
};

void TestAudioDepth::init()
{
    m_dir = QDir(testEnv().makeDir(QStringLiteral("depth")));
}

void TestAudioDepth::deepSourcesAreDitheredTo16Bits_data()
{
    QTest::addColumn<QStringList>("encoding");
    QTest::addColumn<QString>("source"); // the source's extension
    QTest::newRow("24-bit") << QStringList{"-b", "24"} << "wav";
    QTest::newRow("32-bit integer") << QStringList{"-e", "signed-integer", "-b", "32"} << "wav";
    QTest::newRow("32-bit float") << (kFloat + QStringList{"-b", "32"}) << "wav";
    QTest::newRow("64-bit float") << (kFloat + QStringList{"-b", "64"}) << "wav";
    QTest::newRow("24-bit flac") << QStringList{"-b", "24"} << "flac";
}

// The 16-bit samples against the source as ffmpeg reads it at full depth: no mean error, and
// a tone at -100 dBFS (a third of a 16-bit step) comes through at its level as a tone, with
// no trace of the square wave that truncation makes of it (nor the silence of plain rounding).
void TestAudioDepth::deepSourcesAreDitheredTo16Bits()
{
    QFETCH(QStringList, encoding);
    QFETCH(QString, source);
    source = m_dir.filePath(QStringLiteral("quiet.") + source);
    QVERIFY(soxTone(source, encoding, -100.0, 2.0));
    const ReadResult read = readWithAudioFile(source);
    QCOMPARE(read.error, 0);
    const std::vector<int32_t> exact = decodeWithFfmpegDeep(source);
    QCOMPARE(read.samples.size(), exact.size());
    double error = 0;
    for (size_t i = 0; i < exact.size(); ++i)
        error += read.samples[i] - exact[i] / 65536.0;
    const double meanError = error / double(exact.size());
    QVERIFY2(std::abs(meanError) < 0.02, qPrintable(QString::number(meanError)));

    const double expected = 32768.0 * std::pow(10.0, -100.0 / 20.0);
    const double fundamental = toneAmplitude(read.samples, 2, 0, 44100, 1000.0, 1.5);
    const double third = toneAmplitude(read.samples, 2, 0, 44100, 3000.0, 1.5);
    QVERIFY2(std::abs(decibels(fundamental / expected)) < 1.0,
             qPrintable(QStringLiteral("tone %1 of %2 steps").arg(fundamental).arg(expected)));
    QVERIFY2(decibels(third / fundamental) < -20.0,
             qPrintable(QStringLiteral("third harmonic %1 dB").arg(decibels(third / fundamental))));
}

void TestAudioDepth::wavTargetsKeepTheDepth_data()
{
    QTest::addColumn<QStringList>("encoding");
    QTest::addColumn<QString>("source"); // the source's extension
    QTest::addColumn<QString>("target");
    QTest::addColumn<double>("ratio"); // 0: copied unchanged
    QTest::addColumn<QString>("codec"); // what ffprobe finds in the target
    const QStringList bits24{"-b", "24"};
    QTest::newRow("24-bit") << bits24 << "wav" << "wav" << 0.0 << "pcm_s24le";
    QTest::newRow("24-bit normalized") << bits24 << "wav" << "wav" << 98.0 << "pcm_s24le";
    QTest::newRow("32-bit integer") << QStringList{"-e", "signed-integer", "-b", "32"} << "wav" << "wav" << 0.0 << "pcm_s32le";
    QTest::newRow("32-bit float") << (kFloat + QStringList{"-b", "32"}) << "wav" << "wav" << 0.0 << "pcm_f32le";
    QTest::newRow("64-bit float normalized") << (kFloat + QStringList{"-b", "64"}) << "wav" << "wav" << 98.0 << "pcm_f64le";
    QTest::newRow("24-bit to mp3") << bits24 << "wav" << "mp3" << 0.0 << "mp3";
    QTest::newRow("24-bit to flac") << bits24 << "wav" << "flac" << 0.0 << "flac";
    QTest::newRow("24-bit normalized to flac") << bits24 << "wav" << "flac" << 98.0 << "flac";
    QTest::newRow("24-bit flac to flac") << bits24 << "flac" << "flac" << 0.0 << "flac";
    QTest::newRow("24-bit flac to wav") << bits24 << "flac" << "wav" << 0.0 << "pcm_s24le";
}

// Through the conversions' block loop: a WAV or FLAC target holds the source's samples bit for bit,
// or scaled to the ratio with its depth kept; a lossy target gets them at their level.
void TestAudioDepth::wavTargetsKeepTheDepth()
{
    QFETCH(QStringList, encoding);
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(double, ratio);
    QFETCH(QString, codec);
    source = m_dir.filePath(QStringLiteral("deep.") + source);
    const QString output = m_dir.filePath(QStringLiteral("out.") + target);
    QVERIFY(soxTone(source, encoding, -12.0));
    AudioFile writer;
    writer.SetMp3Format(44100, 320, 2);
    QVERIFY(convertLikeTheJobs(source, writer, output,
                               ratio > 0 ? std::optional<float>(float(ratio)) : std::nullopt));
    QCOMPARE(probeAudio(output).codec, codec);
    const std::vector<int32_t> in = decodeWithFfmpegDeep(source);
    const std::vector<int32_t> out = decodeWithFfmpegDeep(output);
    if (codec == QLatin1String("mp3")) {
        const std::vector<double> a(in.begin(), in.end()), b(out.begin(), out.end());
        const double gain = toneAmplitude(b, 2, 0, 44100, 1000.0) / toneAmplitude(a, 2, 0, 44100, 1000.0);
        QVERIFY2(std::abs(decibels(gain)) < 0.2, qPrintable(QString::number(decibels(gain))));
        return;
    }
    QCOMPARE(out.size(), in.size());
    if (ratio == 0) {
        QVERIFY(in == out);
        return;
    }
    int64_t peak = 0;
    for (int32_t s : out)
        peak = std::max<int64_t>(peak, std::abs(int64_t(s)));
    const double level = double(peak) / 2147483648.0;
    QVERIFY2(std::abs(decibels(level / (ratio / 100.0))) < 0.01, qPrintable(QString::number(level)));
    // Scaled at full depth: the 16-bit part alone would leave the lower bytes empty.
    QVERIFY(std::any_of(out.begin(), out.end(), [](int32_t s) { return (s & 0xff00) != 0; }));
}

HARVELO_TEST_MAIN(TestAudioDepth, QCoreApplication)
#include "tst_audio_depth.moc"
