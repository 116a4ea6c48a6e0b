#include "codec/audio_codec.h"
#include "codec/audio_file.h"
#include "settings/setting_choices.h"
#include "settings/wma_formats.h"
#include "tests/codec/audio_test_util.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>
#include <cmath>
#include <set>

namespace {

// The rates that the settings offer for each encoder.
std::set<int> settingRates(const QString &ext)
{
    std::set<int> rates;
    if (ext == QLatin1String("mp3"))
        for (const Choice &c : choices::mp3Frequencies)
            rates.insert(c.value);
    else if (ext == QLatin1String("ogg"))
        for (const Choice &c : choices::oggFrequencies)
            rates.insert(c.value);
    else
        for (const Choice &c : wmaFormats)
            rates.insert(QString::fromLatin1(c.text).section(QLatin1Char('H'), 0, 0).toInt());
    return rates;
}

// The WMA format of a rate that spends the most bits on each channel.
int wmaCodeFor(int rate)
{
    int code = 0;
    double best = 0;
    for (const Choice &c : wmaFormats) {
        const WmaProfile *profile = wmaProfile(c.value);
        const double perChannel = double(profile->encodeKbps) / profile->channels;
        if (profile->rate == rate && perChannel > best) {
            best = perChannel;
            code = c.value;
        }
    }
    return code;
}

// Sets every encoder of `file` to `rate` (0: the settings' defaults).
void setUpEncoders(AudioFile &file, int rate)
{
    file.setWmaFormatEnabled(true);
    file.SetMp3Format(rate ? rate : 44100, rate ? 320 : 128, 2);
    file.SetOggFormat(rate ? rate : 44100, 2, 128, 0, 0, -1);
    file.SetWmaFormat(rate ? wmaCodeFor(rate) : 28);
}

// Where a tone at `frequency` lands once sampled at `rate`.
double folded(double frequency, int rate)
{
    const double f = std::fmod(frequency, double(rate));
    return f > rate / 2.0 ? rate - f : f;
}

} // namespace

class TestAudioResampling : public QObject {
    Q_OBJECT

private slots:
    void init();
    void everyRateToEveryTarget_data();
    void everyRateToEveryTarget();
    void resamplingDoesNotAlias_data();
    void resamplingDoesNotAlias();

private:
    QDir m_dir;
};

void TestAudioResampling::init()
{
    m_dir = QDir(testEnv().makeDir(QStringLiteral("resampling")));
}

void TestAudioResampling::everyRateToEveryTarget_data()
{
    QTest::addColumn<int>("inRate");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("codec");
    for (int rate : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}) {
        QTest::addRow("%d to mp3", rate) << rate << "mp3" << "mp3";
        QTest::addRow("%d to ogg", rate) << rate << "ogg" << "vorbis";
        QTest::addRow("%d to wma", rate) << rate << "wma" << "wmav2";
        QTest::addRow("%d to wav", rate) << rate << "wav" << "pcm_s16le";
    }
}

// Three seconds of a tone at any rate convert through the jobs' block loop (blocks of a second
// of CD audio, which at 8000 Hz is five and a half seconds) with the default settings: the
// output has the target's rate, the whole length and the tone at its level.
void TestAudioResampling::everyRateToEveryTarget()
{
    QFETCH(int, inRate);
    QFETCH(QString, ext);
    QFETCH(QString, codec);
    const QString source = m_dir.filePath(QStringLiteral("in.wav"));
    const QString target = m_dir.filePath(QStringLiteral("out.") + ext);
    QVERIFY(writeSineWav(source, {3.0, inRate, 2, 440.0, 0.5}));
    AudioFile writer;
    setUpEncoders(writer, 0);
    QVERIFY(convertLikeTheJobs(source, writer, target));
    const ProbeResult probe = probeAudio(target);
    QCOMPARE(probe.codec, codec);
    const int outRate = ext == QLatin1String("wav") ? inRate : 44100;
    QCOMPARE(probe.rate, outRate);
    QVERIFY2(std::abs(probe.seconds - 3.0) < 0.1, qPrintable(QString::number(probe.seconds)));
    const double level = toneAmplitude(decodeWithFfmpeg(target), 2, 0, outRate, 440.0);
    QVERIFY2(std::abs(decibels(level / (0.5 * 32767))) < 0.5, qPrintable(QString::number(level)));
}

void TestAudioResampling::resamplingDoesNotAlias_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("inRate");
    QTest::addColumn<int>("outRate");
    for (const QString &ext : {QStringLiteral("mp3"), QStringLiteral("ogg"), QStringLiteral("wma")})
        for (int outRate : settingRates(ext))
            for (int inRate : {8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000})
                if (inRate != outRate)
                    QTest::addRow("%s %d to %d", qPrintable(ext), inRate, outRate)
                        << ext << inRate << outRate;
}

// A second of `tones` (together at half of full scale) made at `inRate`, encoded at `outRate`
// for `ext`, as ffmpeg decodes it; empty when the conversion fails.
struct Encoded {
    std::vector<int16_t> samples;
    int channels = 1;
    int rate = 0;
    double amplitude = 1; // of each tone put in
    // The level at `frequency`, in dB against a tone put in.
    double level(double frequency) const
    {
        return decibels(toneAmplitude(samples, channels, 0, rate, frequency) / amplitude);
    }
};

Encoded encodeTones(const QDir &dir, const QString &ext, int inRate, int outRate,
                    const std::vector<double> &tones)
{
    const QString source = dir.filePath(QStringLiteral("tones.wav"));
    const QString target = dir.filePath(QStringLiteral("out.") + ext);
    const double amplitude = 0.5 * 32767 / double(tones.size());
    std::vector<int16_t> sum(static_cast<size_t>(inRate));
    for (size_t i = 0; i < sum.size(); ++i) {
        double v = 0;
        for (double tone : tones)
            v += amplitude * std::sin(2 * M_PI * tone * double(i) / inRate);
        sum[i] = int16_t(std::lround(v));
    }
    AudioFile writer;
    setUpEncoders(writer, outRate);
    if (!writeWav(source, sum, inRate, 1) || !convertLikeTheJobs(source, writer, target))
        return {};
    const ProbeResult probe = probeAudio(target);
    return {decodeWithFfmpeg(target), probe.channels, probe.rate, amplitude};
}

// Tones that the output rate cannot hold (above its Nyquist frequency) are removed before the
// encoder, not folded back into the audio: what is left stays 90 dB below them. Going up, a
// tone keeps its level and its image above the old Nyquist frequency stays 90 dB down, or no
// stronger than the encoder makes that frequency from the same tone made at the new rate (at
// 24 kbit/s WMA leaves some of its own at -88 dB, whatever resampled the input).
void TestAudioResampling::resamplingDoesNotAlias()
{
    QFETCH(QString, ext);
    QFETCH(int, inRate);
    QFETCH(int, outRate);
    if (inRate > outRate) {
        // One tone just above the new Nyquist frequency, where a resampler's filter is
        // weakest, and, where the input holds it, one whose alias would fall mid-band.
        std::vector<double> tones{std::min(outRate / 2.0 * 1.06, (outRate + inRate) / 4.0)};
        if (0.7 * outRate < 0.45 * inRate)
            tones.push_back(0.7 * outRate);
        const Encoded encoded = encodeTones(m_dir, ext, inRate, outRate, tones);
        QCOMPARE(encoded.rate, outRate);
        for (double tone : tones) {
            const double leak = encoded.level(folded(tone, outRate));
            QVERIFY2(leak < -90.0, qPrintable(QStringLiteral("%1 Hz from %2 Hz at %3 dB")
                                                  .arg(folded(tone, outRate)).arg(tone).arg(leak)));
        }
        return;
    }
    // One tone high in the old band, whose image lies just above that band.
    const double tone = std::min(inRate / 2.0 * 0.75, outRate * 0.35);
    const double image = folded(inRate - tone, outRate);
    const Encoded encoded = encodeTones(m_dir, ext, inRate, outRate, {tone});
    QCOMPARE(encoded.rate, outRate);
    QVERIFY2(std::abs(encoded.level(tone)) < 1.0,
             qPrintable(QStringLiteral("the tone at %1 dB").arg(encoded.level(tone))));
    const double leak = encoded.level(image);
    if (leak >= -90.0) {
        const double own = encodeTones(m_dir, ext, outRate, outRate, {tone}).level(image);
        QVERIFY2(leak <= own + 1.0, qPrintable(QStringLiteral("%1 Hz at %2 dB, the encoder's own %3 dB")
                                                   .arg(image).arg(leak).arg(own)));
    }
}

HARVELO_TEST_MAIN(TestAudioResampling, QCoreApplication)
#include "tst_audio_resampling.moc"
