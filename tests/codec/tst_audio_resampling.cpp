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

// A second of `tone` made at `inRate`, encoded at `outRate` for `ext`, as ffmpeg decodes it;
// empty when the conversion fails.
struct Encoded {
    std::vector<int16_t> samples;
    int channels = 1;
    int rate = 0;
    // The level at `frequency`, in dB against the tone put in.
    double level(double frequency) const
    {
        return decibels(toneAmplitude(samples, channels, 0, rate, frequency) / (0.5 * 32767));
    }
};

Encoded encodeTone(const QDir &dir, const QString &ext, int inRate, int outRate, double tone)
{
    const QString source = dir.filePath(QStringLiteral("tone.wav"));
    const QString target = dir.filePath(QStringLiteral("out.") + ext);
    AudioFile writer;
    setUpEncoders(writer, outRate);
    if (!writeSineWav(source, {1.0, inRate, 1, tone, 0.5}) || !convertLikeTheJobs(source, writer, target))
        return {};
    const ProbeResult probe = probeAudio(target);
    return {decodeWithFfmpeg(target), probe.channels, probe.rate};
}

// A tone that the output rate cannot hold (above its Nyquist frequency) is removed before the
// encoder, not folded back into the audio: what is left stays 90 dB below the tone. Going up,
// the tone keeps its level and its image above the old Nyquist frequency stays 90 dB down, or
// no stronger than the encoder makes that frequency from the same tone made at the new rate
// (at 24 kbit/s WMA leaves some of its own at -88 dB, whatever resampled the input).
void TestAudioResampling::resamplingDoesNotAlias()
{
    QFETCH(QString, ext);
    QFETCH(int, inRate);
    QFETCH(int, outRate);
    // Going down, a tone just above the new Nyquist frequency, where a resampler's filter is
    // weakest; going up, one high in the old band, whose image lies just above that band.
    const bool down = inRate > outRate;
    const double tone = down ? std::min(outRate / 2.0 * 1.06, (outRate + inRate) / 4.0)
                             : std::min(inRate / 2.0 * 0.75, outRate * 0.35);
    const double alias = folded(down ? tone : inRate - tone, outRate);
    const Encoded encoded = encodeTone(m_dir, ext, inRate, outRate, tone);
    QCOMPARE(encoded.rate, outRate);
    const double leak = encoded.level(alias);
    if (down) {
        QVERIFY2(leak < -90.0, qPrintable(QStringLiteral("%1 Hz at %2 dB").arg(alias).arg(leak)));
        return;
    }
    QVERIFY2(std::abs(encoded.level(tone)) < 1.0,
             qPrintable(QStringLiteral("the tone at %1 dB").arg(encoded.level(tone))));
    if (leak >= -90.0) {
        const double own = encodeTone(m_dir, ext, outRate, outRate, tone).level(alias);
        QVERIFY2(leak <= own + 1.0, qPrintable(QStringLiteral("%1 Hz at %2 dB, the encoder's own %3 dB")
                                                   .arg(alias).arg(leak).arg(own)));
    }
}

HARVELO_TEST_MAIN(TestAudioResampling, QCoreApplication)
#include "tst_audio_resampling.moc"
