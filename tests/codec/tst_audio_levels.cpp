#include "codec/audio_file.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>
#include <cmath>

namespace {

// Makes a test file with sox: `seconds` of a 440 Hz sine at `gainDb` on every channel.
bool soxSine(const QString &path, const QStringList &encoding, int channels, double gainDb,
             double seconds = 1.0)
{
    QStringList args{QStringLiteral("-D"), QStringLiteral("-n")};
    args << encoding << QStringLiteral("-c") << QString::number(channels)
         << QStringLiteral("-r") << QStringLiteral("44100") << path << QStringLiteral("synth")
         << QString::number(seconds) << QStringLiteral("sine") << QStringLiteral("440")
         << QStringLiteral("gain") << QString::number(gainDb);
    return runProgram(QStringLiteral("sox"), args).status == 0;
}

// The highest absolute sample of each channel.
std::vector<int> channelPeaks(const std::vector<int16_t> &samples, int channels)
{
    std::vector<int> peaks(size_t(std::max(channels, 1)), 0);
    for (size_t i = 0; i < samples.size(); ++i)
        peaks[i % peaks.size()] = std::max(peaks[i % peaks.size()], std::abs(int(samples[i])));
    return peaks;
}

// The RMS of each channel over the middle of the signal, away from codec start-up and padding.
std::vector<double> channelRms(const std::vector<int16_t> &samples, int channels)
{
    const size_t frames = samples.size() / size_t(channels);
    std::vector<double> sums(size_t(channels), 0.0);
    for (size_t f = frames / 4; f < frames * 3 / 4; ++f)
        for (int c = 0; c < channels; ++c) {
            const double v = samples[f * size_t(channels) + size_t(c)];
            sums[size_t(c)] += v * v;
        }
    for (double &sum : sums)
        sum = std::sqrt(sum / double(frames * 3 / 4 - frames / 4));
    return sums;
}

// A 32-bit float WAV written by hand, so that values beyond full scale can be stored.
bool writeFloatWav(const QString &path, const std::vector<float> &samples, int channels)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    const quint32 data = quint32(samples.size() * 4);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + data);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(3) << quint16(channels) << quint32(44100)
        << quint32(44100 * 4 * channels) << quint16(4 * channels) << quint16(32);
    out.writeRawData("data", 4);
    out << data;
    for (float s : samples)
        out << s;
    return writeFileBytes(path, bytes);
}

} // namespace

class TestAudioLevels : public QObject {
    Q_OBJECT

private slots:
    void init();
    void everyWavConvertsLevelTrue_data();
    void everyWavConvertsLevelTrue();
    void floatBeyondFullScaleClips();
    void channelChangesKeepTheLevel_data();
    void channelChangesKeepTheLevel();
    void formatChangeMidStream_data();
    void formatChangeMidStream();

private:
    QDir m_dir;
};

void TestAudioLevels::init()
{
    m_dir = QDir(testEnv().makeDir(QStringLiteral("levels")));
}

void TestAudioLevels::everyWavConvertsLevelTrue_data()
{
    QTest::addColumn<QStringList>("encoding");
    QTest::addColumn<int>("channels");
    const QStringList floating{QStringLiteral("-e"), QStringLiteral("floating-point")};
    QTest::newRow("8-bit") << QStringList{"-e", "unsigned-integer", "-b", "8"} << 1;
    QTest::newRow("16-bit") << QStringList{"-b", "16"} << 2;
    QTest::newRow("24-bit extensible") << QStringList{"-b", "24"} << 2;
    QTest::newRow("32-bit integer") << QStringList{"-e", "signed-integer", "-b", "32"} << 2;
    QTest::newRow("32-bit float") << (floating + QStringList{"-b", "32"}) << 2;
    QTest::newRow("64-bit float") << (floating + QStringList{"-b", "64"}) << 1;
    QTest::newRow("6 channels") << QStringList{"-b", "16"} << 6;
    QTest::newRow("8 channels 24-bit") << QStringList{"-b", "24"} << 8;
    QTest::newRow("6 channels float") << (floating + QStringList{"-b", "32"}) << 6;
}

// WAV to WAV: every channel comes out at the level ffmpeg reads in the input.
void TestAudioLevels::everyWavConvertsLevelTrue()
{
    QFETCH(QStringList, encoding);
    QFETCH(int, channels);
    const QString source = m_dir.filePath(QStringLiteral("in.wav"));
    const QString target = m_dir.filePath(QStringLiteral("out.wav"));
    QVERIFY(soxSine(source, encoding, channels, -12.0));
    AudioFile writer;
    QCOMPARE(convertWithAudioFile(source, writer, target), 0);
    QCOMPARE(probeAudio(target).channels, channels);
    const std::vector<int> in = channelPeaks(decodeWithFfmpeg(source), channels);
    const std::vector<int> out = channelPeaks(decodeWithFfmpeg(target), channels);
    for (int c = 0; c < channels; ++c) {
        QVERIFY2(in[size_t(c)] > 8000, qPrintable(QString::number(in[size_t(c)])));
        QVERIFY2(std::abs(decibels(double(out[size_t(c)]) / in[size_t(c)])) < 0.1,
                 qPrintable(QStringLiteral("channel %1: %2 -> %3").arg(c).arg(in[size_t(c)]).arg(out[size_t(c)])));
    }
}

// Float samples beyond full scale clip at the 16-bit limits; they never wrap around.
void TestAudioLevels::floatBeyondFullScaleClips()
{
    const QString source = m_dir.filePath(QStringLiteral("hot.wav"));
    QVERIFY(writeFloatWav(source, {0.5f, -0.5f, 1.5f, -1.5f, 1.0f, -1.0f, 0.25f, 0.0f}, 2));
    const ReadResult read = readWithAudioFile(source);
    QCOMPARE(read.error, 0);
    QCOMPARE(read.samples, (std::vector<int16_t>{16384, -16384, 32767, -32768, 32767, -32768, 8192, 0}));
}

void TestAudioLevels::channelChangesKeepTheLevel_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("outChannels");
    QTest::addColumn<int>("inChannels");
    QTest::addColumn<double>("inLevel");  // of the first input channel; the others are silent
    QTest::addColumn<double>("outLevel"); // expected peak of the tone on every output channel
    QTest::addColumn<bool>("allLoud");    // every input channel plays the sine
    for (const QString &ext : {QStringLiteral("mp3"), QStringLiteral("ogg"), QStringLiteral("wma")}) {
        QTest::addRow("mono to stereo %s", qPrintable(ext)) << ext << 2 << 1 << 0.251 << 0.251 << true;
        QTest::addRow("stereo to mono %s", qPrintable(ext)) << ext << 1 << 2 << 0.4 << 0.2 << false;
        QTest::addRow("6 loud channels to stereo %s", qPrintable(ext)) << ext << 2 << 6 << 0.9 << 0.9 << true;
    }
}

// Mono is copied to both sides at 0 dB, stereo to mono averages, and a loud 5.1 file comes
// down to stereo without clipping: the same with every encoder.
void TestAudioLevels::channelChangesKeepTheLevel()
{
    QFETCH(QString, ext);
    QFETCH(int, outChannels);
    QFETCH(int, inChannels);
    QFETCH(double, inLevel);
    QFETCH(double, outLevel);
    QFETCH(bool, allLoud);
    std::vector<int16_t> samples = sineSamples({2.0, 44100, 1, 440.0, inLevel});
    std::vector<int16_t> interleaved(samples.size() * size_t(inChannels), 0);
    for (size_t f = 0; f < samples.size(); ++f)
        for (int c = 0; c < (allLoud ? inChannels : 1); ++c)
            interleaved[f * size_t(inChannels) + size_t(c)] = samples[f];
    const QString source = m_dir.filePath(QStringLiteral("in.wav"));
    const QString target = m_dir.filePath(QStringLiteral("out.") + ext);
    QVERIFY(writeWav(source, interleaved, 44100, inChannels));
    AudioFile writer;
    writer.setWmaFormatEnabled(true);
    // LAME below 256 kbit/s renders a pure tone about 0.4 dB low, channels or not.
    writer.SetMp3Format(44100, 320, outChannels);
    writer.SetOggFormat(44100, outChannels, 128, 0, 0, -1);
    writer.SetWmaFormat(outChannels == 1 ? 23 : 28);
    QCOMPARE(convertWithAudioFile(source, writer, target), 0);
    QCOMPARE(probeAudio(target).channels, outChannels);
    const std::vector<double> rms = channelRms(decodeWithFfmpeg(target), outChannels);
    for (int c = 0; c < outChannels; ++c) {
        const double db = decibels(rms[size_t(c)] / (32767.0 * outLevel / std::sqrt(2.0)));
        QVERIFY2(std::abs(db) < 0.2, qPrintable(QStringLiteral("channel %1: %2 dB").arg(c).arg(db)));
    }
}

void TestAudioLevels::formatChangeMidStream_data()
{
    QTest::addColumn<QStringList>("second"); // ffmpeg options of the second half
    QTest::newRow("stereo then mono") << QStringList{"-ac", "1"};
    QTest::newRow("44100 then 22050 Hz") << QStringList{"-ar", "22050"};
    QTest::newRow("mono 22050 Hz") << QStringList{"-ac", "1", "-ar", "22050"};
}

// An ASF file whose stream changes channels or rate part-way (MP3 frames inside, as a fuzzed
// file had) is read to its end in the format it started with, both halves at their length.
void TestAudioLevels::formatChangeMidStream()
{
    QFETCH(QStringList, second);
    const QString asf = m_dir.filePath(QStringLiteral("changing.wma"));
    QVERIFY(makeFormatChangingAsf(asf, second));
    const ReadResult read = readWithAudioFile(asf);
    QCOMPARE(read.error, 0);
    QCOMPARE(read.channels, 2);
    QCOMPARE(read.rate, 44100);
    // LAME's delay and header frame of the second half add up to 0.1 s at 22050 Hz.
    const double seconds = double(read.samples.size()) / 2 / 44100;
    QVERIFY2(std::abs(seconds - 2.0) < 0.15, qPrintable(QString::number(seconds)));
    // The mono half is on both sides, at its level.
    const std::vector<int16_t> tail(read.samples.end() - 44100, read.samples.end() - 22050);
    const std::vector<int> peaks = channelPeaks(tail, 2);
    QVERIFY2(peaks[0] > 3000 && std::abs(peaks[0] - peaks[1]) < 300,
             qPrintable(QStringLiteral("%1 %2").arg(peaks[0]).arg(peaks[1])));
}

HARVELO_TEST_MAIN(TestAudioLevels, QCoreApplication)
#include "tst_audio_levels.moc"
