#include "codec/audio_transform.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kRate = 44100;

SampleBlock blockOf(const std::vector<int16_t> &in, size_t at, size_t end)
{
    return SampleBlock(std::vector<int16_t>(in.begin() + long(at), in.begin() + long(end)), kRate, 2);
}

// Cuts interleaved stereo samples into blocks of `frames` frames, measures them all, then
// normalizes each and joins them, as the jobs do.
std::vector<int16_t> normalizeInBlocks(AudioTransform &transform, const std::vector<int16_t> &in,
                                       int frames, float ratio)
{
    std::vector<int16_t> out;
    const size_t step = size_t(frames) * 2;
    for (size_t at = 0; at < in.size(); at += step)
        transform.MeasureBlock(blockOf(in, at, std::min(in.size(), at + step)));
    for (size_t at = 0; at < in.size(); at += step) {
        SampleBlock block = blockOf(in, at, std::min(in.size(), at + step));
        transform.NormalizeBlock(block, ratio, -1);
        out.insert(out.end(), block.samples.begin(), block.samples.end());
    }
    return out;
}

int peak(const std::vector<int16_t> &samples, size_t from = 0, size_t to = SIZE_MAX)
{
    int result = 0;
    for (size_t i = from; i < std::min(to, samples.size()); ++i)
        result = std::max(result, std::abs(int(samples[i])));
    return result;
}

// Output over input around frame f of channel 0, from the largest input sample nearby.
double gainNear(const std::vector<int16_t> &in, const std::vector<int16_t> &out, size_t frame, int before)
{
    size_t best = 0;
    int bestValue = 0;
    const size_t from = before > 0 ? frame - size_t(before) : frame;
    const size_t to = before > 0 ? frame : frame + size_t(-before);
    for (size_t f = from; f < to; ++f) {
        if (std::abs(in[f * 2]) > bestValue) {
            bestValue = std::abs(in[f * 2]);
            best = f;
        }
    }
    return double(out[best * 2]) / double(in[best * 2]);
}

// A 440 Hz sine whose level moves linearly from `from` to `to` over the given seconds.
std::vector<int16_t> ramp(double seconds, double from, double to)
{
    std::vector<int16_t> samples = sineSamples({seconds, kRate, 2, 440.0, 1.0});
    const size_t frames = samples.size() / 2;
    for (size_t f = 0; f < frames; ++f) {
        const double level = from + (to - from) * double(f) / double(frames);
        samples[2 * f] = int16_t(std::lround(samples[2 * f] * level));
        samples[2 * f + 1] = int16_t(std::lround(samples[2 * f + 1] * level));
    }
    return samples;
}

} // namespace

class TestAudioTransform : public QObject {
    Q_OBJECT

private slots:
    void constantLevelPeaksAtRatio_data();
    void constantLevelPeaksAtRatio();
    void neverAboveTheRatio_data();
    void neverAboveTheRatio();
    void noGainStepsBetweenBlocks();
    void resetStartsAfresh();
    void channelsKeepTheirBalance();
    void edgeCases();
    void oneGainForTheWholeInput_data();
    void oneGainForTheWholeInput();
    void wholeInputInOneBlock();
};

void TestAudioTransform::constantLevelPeaksAtRatio_data()
{
    QTest::addColumn<double>("level");
    QTest::addColumn<float>("ratio");
    QTest::newRow("quiet to 98") << 0.2 << 98.0f;
    QTest::newRow("half to 98") << 0.5 << 98.0f;
    QTest::newRow("loud to 50") << 0.9 << 50.0f;
    QTest::newRow("full to 100") << 1.0 << 100.0f;
    QTest::newRow("to 0 is silence") << 0.5 << 0.0f;
}

void TestAudioTransform::constantLevelPeaksAtRatio()
{
    QFETCH(double, level);
    QFETCH(float, ratio);
    AudioTransform transform;
    const std::vector<int16_t> in = sineSamples({3.0, kRate, 2, 440.0, level});
    const std::vector<int16_t> out = normalizeInBlocks(transform, in, kRate, ratio);
    const double target = 32767.0 * ratio / 100.0;
    // Every second on its own peaks at the ratio.
    for (size_t second = 0; second < 3; ++second) {
        const int p = peak(out, second * kRate * 2, (second + 1) * kRate * 2);
        QVERIFY2(std::abs(p - target) <= 0.005 * 32767 + 1, qPrintable(QString::number(p)));
    }
}

void TestAudioTransform::neverAboveTheRatio_data()
{
    QTest::addColumn<int>("burstAt"); // frame where a loud burst starts after quiet music
    QTest::addColumn<int>("blockFrames");
    QTest::newRow("inside a block") << 30000 << 22050;
    QTest::newRow("on a block start") << 44100 << 22050;
    QTest::newRow("odd block sizes") << 50001 << 4999;
}

// Quiet music, then a sudden burst at full scale: nothing leaves above the ratio.
void TestAudioTransform::neverAboveTheRatio()
{
    QFETCH(int, burstAt);
    QFETCH(int, blockFrames);
    std::vector<int16_t> in = sineSamples({2.0, kRate, 2, 440.0, 0.1});
    const std::vector<int16_t> loud = sineSamples({2.0, kRate, 2, 997.0, 1.0});
    std::copy(loud.begin() + burstAt * 2, loud.end(), in.begin() + burstAt * 2);
    AudioTransform transform;
    const std::vector<int16_t> out = normalizeInBlocks(transform, in, blockFrames, 90.0f);
    QVERIFY2(peak(out) <= int(std::ceil(32767 * 0.9)), qPrintable(QString::number(peak(out))));
    // The loud part still reaches the ratio.
    QVERIFY(peak(out, size_t(burstAt + kRate / 2) * 2) >= int(32767 * 0.89));
}

// A level that changes slowly changes the gain smoothly: at each block boundary the gain just
// before equals the gain just after.
void TestAudioTransform::noGainStepsBetweenBlocks()
{
    const std::vector<int16_t> in = ramp(4.0, 0.1, 0.9);
    AudioTransform transform;
    const int blockFrames = kRate / 2;
    const std::vector<int16_t> out = normalizeInBlocks(transform, in, blockFrames, 98.0f);
    for (size_t boundary = size_t(blockFrames); boundary < in.size() / 2; boundary += size_t(blockFrames)) {
        const double before = gainNear(in, out, boundary, 120);
        const double after = gainNear(in, out, boundary, -120);
        QVERIFY2(std::abs(before - after) / before < 0.01,
                 qPrintable(QStringLiteral("%1: %2 -> %3").arg(boundary).arg(before).arg(after)));
    }
    QVERIFY(peak(out) <= int(std::ceil(32767 * 0.98)));
}

void TestAudioTransform::resetStartsAfresh()
{
    AudioTransform transform;
    normalizeInBlocks(transform, sineSamples({1.0, kRate, 2, 440.0, 1.0}), kRate, 98.0f);
    const std::vector<int16_t> quiet = sineSamples({1.0, kRate, 2, 440.0, 0.3});
    const int withoutReset = peak(normalizeInBlocks(transform, quiet, kRate, 98.0f));
    transform.Reset();
    const int withReset = peak(normalizeInBlocks(transform, quiet, kRate, 98.0f));
    QVERIFY(withoutReset < int(32767 * 0.35));
    QVERIFY(std::abs(withReset - 32767 * 0.98) <= 0.005 * 32767 + 1);
}

// One gain for all channels of a frame: a quieter channel stays quieter by the same factor.
void TestAudioTransform::channelsKeepTheirBalance()
{
    std::vector<int16_t> in = sineSamples({1.0, kRate, 2, 440.0, 0.4});
    for (size_t i = 1; i < in.size(); i += 2)
        in[i] = int16_t(in[i] / 4);
    AudioTransform transform;
    const std::vector<int16_t> out = normalizeInBlocks(transform, in, kRate, 98.0f);
    int left = 0, right = 0;
    for (size_t i = 0; i < out.size(); i += 2) {
        left = std::max(left, std::abs(int(out[i])));
        right = std::max(right, std::abs(int(out[i + 1])));
    }
    QVERIFY(std::abs(double(left) / right - double(peak(in)) / (peak(in) / 4)) < 0.05);
}

void TestAudioTransform::edgeCases()
{
    AudioTransform transform;
    SampleBlock empty;
    transform.NormalizeBlock(empty, 98.0f, -1);
    QVERIFY(empty.isEmpty());
    SampleBlock silence(std::vector<int16_t>(1000, 0), kRate, 2);
    transform.NormalizeBlock(silence, 98.0f, -1);
    QCOMPARE(peak(silence.samples), 0);
    SampleBlock odd(std::vector<int16_t>{1000, -1000, 500}, kRate, 2);
    transform.NormalizeBlock(odd, 98.0f, -1);
    QCOMPARE(odd.size(), 3);
    SampleBlock notANumber(sineSamples({0.1, kRate, 2, 440.0, 0.5}), kRate, 2);
    const std::vector<int16_t> before = notANumber.samples;
    transform.NormalizeBlock(notANumber, std::nanf(""), -1);
    QVERIFY(notANumber.samples == before);
}

void TestAudioTransform::oneGainForTheWholeInput_data()
{
    QTest::addColumn<LevelShape>("shape");
    QTest::addColumn<int>("blockFrames");
    QTest::newRow("tone with a click") << LevelShape::ClickTone << kRate;
    QTest::newRow("fade-in") << LevelShape::FadeIn << kRate / 2;
    QTest::newRow("quiet then loud") << LevelShape::QuietThenLoud << 4999;
    QTest::newRow("steady -26 dBFS") << LevelShape::Steady26 << kRate;
}

// Every sample is the input times ratio / peak of the whole input, rounded: the shape of the
// music stays as it was, whatever the blocks.
void TestAudioTransform::oneGainForTheWholeInput()
{
    QFETCH(LevelShape, shape);
    QFETCH(int, blockFrames);
    const std::vector<int16_t> in = levelSignal(shape);
    AudioTransform transform;
    const std::vector<int16_t> out = normalizeInBlocks(transform, in, blockFrames, 98.0f);
    const double gain = 32767 * 0.98 / peak(in);
    for (size_t i = 0; i < in.size(); ++i)
        QVERIFY2(std::abs(out[i] - in[i] * gain) <= 0.5 + 1e-6,
                 qPrintable(QStringLiteral("%1: %2 -> %3").arg(i).arg(in[i]).arg(out[i])));
    QCOMPARE(peak(out), int(std::lround(32767 * 0.98)));
}

// Without a first pass, a block is measured on its own: a caller with the whole input in one
// block gets the same result.
void TestAudioTransform::wholeInputInOneBlock()
{
    const std::vector<int16_t> in = levelSignal(LevelShape::FadeIn);
    AudioTransform measured, single;
    const std::vector<int16_t> expected = normalizeInBlocks(measured, in, kRate, 98.0f);
    SampleBlock block = blockOf(in, 0, in.size());
    single.NormalizeBlock(block, 98.0f, -1);
    QVERIFY(block.samples == expected);
}

HARVELO_TEST_MAIN(TestAudioTransform, QCoreApplication)
#include "tst_audio_transform.moc"
