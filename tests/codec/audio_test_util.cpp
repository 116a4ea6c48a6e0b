#include "tests/codec/audio_test_util.h"

#include "codec/audio_file.h"
#include "codec/audio_transform.h"
#include "convert/block_copy.h"

#include <QProcess>
#include <algorithm>
#include <cmath>
#include <cstring>

ReadResult readWithAudioFile(const QString &path)
{
    ReadResult result;
    AudioFile reader;
    reader.setWmaFormatEnabled(true);
    reader.OpenFile(path, 0, 1);
    result.error = reader.ErrorCode();
    if (result.error != 0)
        return result;
    result.rate = reader.SampleRate();
    result.channels = reader.Channels();
    result.sampleCount = reader.SampleCount();
    for (;;) {
        SampleBlock block = reader.ReadBlock(reader.SampleRate() * reader.Channels());
        result.error = reader.ErrorCode();
        if (result.error != 0 || block.isEmpty())
            break;
        result.samples.insert(result.samples.end(), block.samples.begin(), block.samples.end());
    }
    reader.CloseFile();
    return result;
}

int convertWithAudioFile(const QString &source, AudioFile &writer, const QString &target)
{
    AudioFile reader;
    reader.setWmaFormatEnabled(true);
    reader.OpenFile(source, 0, 1);
    if (reader.ErrorCode() != 0)
        return reader.ErrorCode();
    writer.CreateFile(target, 0);
    if (writer.ErrorCode() != 0)
        return writer.ErrorCode();
    int error = 0;
    for (;;) {
        SampleBlock block = reader.ReadBlock(reader.SampleRate() * reader.Channels());
        error = reader.ErrorCode();
        if (error != 0 || block.isEmpty())
            break;
        writer.WriteBlock(block);
        error = writer.ErrorCode();
        if (error != 0)
            break;
    }
    reader.CloseFile();
    writer.CloseFile();
    return error != 0 ? error : writer.ErrorCode();
}

namespace {

class QuietObserver : public CopyObserver {};

} // namespace

bool convertLikeTheJobs(const QString &source, AudioFile &writer, const QString &target,
                        std::optional<float> ratio)
{
    AudioFile reader;
    reader.setWmaFormatEnabled(true);
    reader.OpenFile(source, 0, 1);
    if (reader.ErrorCode() != 0)
        return false;
    writer.CreateFile(target, 0);
    if (writer.ErrorCode() != 0)
        return false;
    AudioTransform transform;
    QuietObserver observer;
    const CopyEnd end = copyFile(source, reader, writer, transform, ratio, observer);
    reader.CloseFile();
    writer.CloseFile();
    return end == CopyEnd::Done && writer.ErrorCode() == 0;
}

double toneAmplitude(const std::vector<double> &samples, int channels, int channel, int rate,
                     double frequency, double seconds)
{
    const int64_t frames = int64_t(samples.size()) / channels;
    const int64_t count = std::min<int64_t>(int64_t(seconds * rate), frames);
    const int64_t start = (frames - count) / 2;
    if (count < 2)
        return 0.0;
    double re = 0, im = 0, windowSum = 0;
    for (int64_t i = 0; i < count; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(count - 1));
        const double phase = 2 * M_PI * frequency * double(start + i) / rate;
        const double v = samples[size_t((start + i) * channels + channel)] * window;
        re += v * std::cos(phase);
        im -= v * std::sin(phase);
        windowSum += window;
    }
    return 2.0 * std::sqrt(re * re + im * im) / windowSum;
}

double toneAmplitude(const std::vector<int16_t> &samples, int channels, int channel, int rate,
                     double frequency, double seconds)
{
    return toneAmplitude(std::vector<double>(samples.begin(), samples.end()), channels, channel,
                         rate, frequency, seconds);
}

std::vector<int32_t> decodeWithFfmpegDeep(const QString &path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"),
                                            QStringLiteral("-i"), path, QStringLiteral("-f"),
                                            QStringLiteral("s32le"), QStringLiteral("-")});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return {};
    const QByteArray raw = ffmpeg.readAllStandardOutput();
    std::vector<int32_t> samples(size_t(raw.size()) / 4);
    if (!samples.empty())
        std::memcpy(samples.data(), raw.constData(), samples.size() * 4);
    return samples;
}

double decibels(double ratio)
{
    return 20.0 * std::log10(std::max(ratio, 1e-12));
}
