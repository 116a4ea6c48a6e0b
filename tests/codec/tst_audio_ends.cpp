#include "codec/audio_file.h"
#include "codec/ffmpeg_util.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>
#include <cmath>

namespace {

// The least-squares gain of `decoded` against the sine that was encoded, over frames
// [from, from + count) of channel 0.
double gainOver(const std::vector<int16_t> &decoded, int channels, const WavFixture &sine,
                int64_t from, int64_t count)
{
    double dot = 0, power = 0;
    for (int64_t f = from; f < from + count; ++f) {
        const double expected = sine.amplitude * 32767
            * std::sin(2 * M_PI * sine.frequency * double(f) / sine.rate);
        dot += expected * decoded[size_t(f * channels)];
        power += expected * expected;
    }
    return power > 0 ? dot / power : 0;
}

double rmsOver(const std::vector<int16_t> &samples, int channels, int64_t from, int64_t to)
{
    double sum = 0;
    for (int64_t f = from; f < to; ++f)
        sum += double(samples[size_t(f * channels)]) * samples[size_t(f * channels)];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

// An MP3 damaged as files in the wild are, by the name of the damage.
QByteArray damaged(QByteArray mp3, const QString &damage)
{
    const qsizetype info = std::max(mp3.indexOf("Info"), mp3.indexOf("Xing"));
    auto setFrames = [&](quint32 frames) {
        for (int i = 0; i < 4; ++i)
            mp3[info + 8 + i] = char(frames >> (24 - 8 * i));
    };
    QByteArray junk(1000, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919 + 13) % 251);
    if (damage == QLatin1String("cut at 70%"))
        mp3.truncate(mp3.size() * 7 / 10);
    else if (damage == QLatin1String("cut in the last frame"))
        mp3.chop(100);
    else if (damage == QLatin1String("start cut off"))
        mp3.remove(0, 3000);
    else if (damage == QLatin1String("junk before"))
        mp3.prepend(junk);
    else if (damage == QLatin1String("zeros before"))
        mp3.prepend(QByteArray(1000, '\0'));
    else if (damage == QLatin1String("frame count too high"))
        setFrames(99999);
    else if (damage == QLatin1String("frame count too low"))
        setFrames(10);
    else if (damage == QLatin1String("header garbled"))
        mp3[info + 3] = 'x';
    else if (damage == QLatin1String("ID3v2 tag, cut at 60%")) {
        mp3.truncate(mp3.size() * 6 / 10);
        mp3.prepend(QByteArray("ID3\x03\0\0\0\0\0\x0b" "TIT2\0\0\0\x01\0\0\0", 21));
    }
    return mp3;
}

} // namespace

// The ends of the audio: WMA keeps its last samples at full level, and a damaged MP3 decodes
// to what mpg123's own tool gives.
class TestAudioEnds : public QObject {
    Q_OBJECT

private slots:
    void init();
    void wmaEndsIntact_data();
    void wmaEndsIntact();
    void damagedMp3LikeTheTool_data();
    void damagedMp3LikeTheTool();

private:
    QDir m_dir;
};

void TestAudioEnds::init()
{
    m_dir = QDir(testEnv().makeDir(QStringLiteral("ends")));
}

void TestAudioEnds::wmaEndsIntact_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rest"); // frames after the last whole encoder frame
    const struct { int profile, rate, channels; } profiles[] = {
        {28, 44100, 2}, {33, 48000, 2}, {17, 22050, 2}, {10, 16000, 2}, {3, 8000, 1}};
    for (const auto &p : profiles) {
        const int frame = wmaFrameLength(p.rate);
        for (int rest : {0, 64, frame / 2, frame - 48})
            QTest::addRow("%d Hz, %d over", p.rate, rest) << p.profile << p.rate << p.channels << rest;
    }
}

// A tone of any length encoded to WMA decodes (ffmpeg) at full level to its last sample; the
// silence that completes the encoder's last frame adds at most one frame to what ffmpeg gives,
// and our own reader gives back the input rounded up to whole frames, as ever.
void TestAudioEnds::wmaEndsIntact()
{
    QFETCH(int, profile);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, rest);
    const int frame = wmaFrameLength(rate);
    const int64_t length = 43 * int64_t(frame) + rest;
    const WavFixture sine{double(length) / rate, rate, channels, 1000.0, 0.5};
    const QString source = m_dir.filePath(QStringLiteral("tone.wav"));
    const QString target = m_dir.filePath(QStringLiteral("tone.wma"));
    QVERIFY(writeSineWav(source, sine));
    AudioFile writer;
    writer.setWmaFormatEnabled(true);
    writer.SetWmaFormat(profile);
    QCOMPARE(convertWithAudioFile(source, writer, target), 0);

    const std::vector<int16_t> decoded = decodeWithFfmpeg(target);
    const int64_t decodedFrames = int64_t(decoded.size()) / channels;
    const int64_t wholeFrames = (length + frame - 1) / frame * frame;
    QVERIFY2(decodedFrames >= length && decodedFrames <= wholeFrames + frame,
             qPrintable(QString::number(decodedFrames)));
    const int64_t window = frame / 8;
    for (int64_t from = length - 3 * frame; from + window <= length; from += window / 2) {
        const double gain = gainOver(decoded, channels, sine, from, window);
        QVERIFY2(gain > 0.95, qPrintable(QStringLiteral("%1 at frame %2 of %3").arg(gain).arg(from).arg(length)));
    }
    // What follows the tone is the encoder's noise around its abrupt end, not sound.
    const double tail = rmsOver(decoded, channels, length + frame / 8, decodedFrames);
    QVERIFY2(decibels(tail / (0.5 * 32767 / std::sqrt(2.0))) < -20.0, qPrintable(QString::number(tail)));

    const ReadResult back = readWithAudioFile(target);
    QCOMPARE(back.error, 0);
    QCOMPARE(int64_t(back.samples.size()) / channels, wholeFrames);
    QCOMPARE(back.sampleCount, wholeFrames);
}

void TestAudioEnds::damagedMp3LikeTheTool_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("rate");
    for (const char *damage : {"intact", "cut at 70%", "cut in the last frame", "start cut off",
                               "junk before", "zeros before", "frame count too high",
                               "frame count too low", "header garbled", "ID3v2 tag, cut at 60%"})
        QTest::newRow(damage) << QString::fromLatin1(damage) << 44100;
    QTest::newRow("MPEG-2, cut at 70%") << "cut at 70%" << 22050;
}

// A damaged MP3 decodes sample for sample as `mpg123 -w` decodes it: with the encoder's delay
// dropped wherever the tool drops it, and announced at that length.
void TestAudioEnds::damagedMp3LikeTheTool()
{
    QFETCH(QString, damage);
    QFETCH(int, rate);
    const QString source = m_dir.filePath(QStringLiteral("tone.wav"));
    const QString good = m_dir.filePath(QStringLiteral("good.mp3"));
    const QString bad = m_dir.filePath(QStringLiteral("damaged.mp3"));
    const QString tool = m_dir.filePath(QStringLiteral("tool.wav"));
    QVERIFY(writeSineWav(source, {3.0, rate, 2}));
    AudioFile writer;
    writer.SetMp3Format(rate, rate == 44100 ? 128 : 64, 2);
    QCOMPARE(convertWithAudioFile(source, writer, good), 0);
    QFile in(good);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QVERIFY(writeFileBytes(bad, damaged(in.readAll(), damage)));
    QCOMPARE(runProgram(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-w"), tool, bad}).status, 0);

    const std::vector<int16_t> expected = decodeWithFfmpeg(tool);
    const ReadResult ours = readWithAudioFile(bad);
    QCOMPARE(ours.error, 0);
    QVERIFY(!expected.empty());
    QCOMPARE(ours.samples.size(), expected.size());
    QVERIFY(ours.samples == expected);
    QCOMPARE(ours.sampleCount, int64_t(ours.samples.size()) / ours.channels);
}

HARVELO_TEST_MAIN(TestAudioEnds, QCoreApplication)
#include "tst_audio_ends.moc"
