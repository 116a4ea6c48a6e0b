#include "tests/support/audio_fixtures.h"

#include "tests/support/test_env.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRate = 44100;
constexpr int kWindow = kRate / 4;

std::vector<int16_t> tone(double seconds, double (*level)(double t, double seconds))
{
    const size_t frames = size_t(seconds * kRate);
    std::vector<int16_t> samples(frames * 2);
    for (size_t f = 0; f < frames; ++f) {
        const double t = double(f) / kRate;
        const double value = level(t, seconds) * std::sin(2 * M_PI * 440.0 * t);
        samples[2 * f] = samples[2 * f + 1] = int16_t(std::lround(value * 32767));
    }
    return samples;
}

struct Window {
    double rms = 0;
    double peak = 0;
};

Window window(const std::vector<int16_t> &s, int channels, size_t first)
{
    Window w;
    double sum = 0;
    for (size_t f = first; f < first + kWindow; ++f) {
        const double v = s[f * size_t(channels)] / 32768.0;
        sum += v * v;
        w.peak = std::max(w.peak, std::abs(v));
    }
    w.rms = std::sqrt(sum / kWindow);
    return w;
}

} // namespace

std::vector<int16_t> levelSignal(LevelShape shape)
{
    switch (shape) {
    case LevelShape::ClickTone: {
        std::vector<int16_t> s = tone(10.0, [](double, double) { return 0.126; });
        const size_t at = size_t(5 * kRate) * 2;
        for (size_t i = 0; i < size_t(kRate / 500) * 2; ++i)
            s[at + i] = i < size_t(kRate / 1000) * 2 ? 32767 : -32767;
        return s;
    }
    case LevelShape::FadeIn:
        return tone(8.0, [](double t, double seconds) { return 0.5 * t / seconds; });
    case LevelShape::QuietThenLoud:
        return tone(8.0, [](double t, double) { return t < 4.0 ? 0.05 : 0.5; });
    case LevelShape::Steady26:
        return tone(4.0, [](double, double) { return std::pow(10.0, -26.0 / 20); });
    }
    return {};
}

double gainSpreadDb(const std::vector<int16_t> &in, int inChannels,
                    const std::vector<int16_t> &out, int outChannels)
{
    const size_t frames = std::min(in.size() / size_t(inChannels), out.size() / size_t(outChannels));
    double low = 1e9, high = -1e9;
    for (size_t first = 0; first + kWindow <= frames; first += kWindow) {
        const Window a = window(in, inChannels, first);
        if (a.rms < 0.01 || a.peak > 2 * a.rms)
            continue;
        const double gain = 20 * std::log10(window(out, outChannels, first).rms / a.rms);
        low = std::min(low, gain);
        high = std::max(high, gain);
    }
    return high >= low ? high - low : 1e9;
}

double peakLevel(const std::vector<int16_t> &samples)
{
    int peak = 0;
    for (const int16_t s : samples)
        peak = std::max(peak, std::abs(int(s)));
    return peak / 32767.0;
}

bool makeFormatChangingAsf(const QString &path, const QStringList &second)
{
    const QString first = path + QStringLiteral(".1.mp3");
    const QString next = path + QStringLiteral(".2.mp3");
    const QString joined = path + QStringLiteral(".mp3");
    const QStringList sine{"-v", "error", "-y", "-f", "lavfi", "-i", "sine=f=440:d=1", "-c:a", "libmp3lame"};
    if (runProgram("ffmpeg", sine + QStringList{"-ac", "2", "-ar", "44100", first}).status != 0
        || runProgram("ffmpeg", sine + second + QStringList{next}).status != 0
        || !writeFileBytes(joined, fileBytes(first) + fileBytes(next)))
        return false;
    return runProgram("ffmpeg", {"-v", "error", "-y", "-i", joined, "-c", "copy", "-f", "asf", path}).status == 0;
}

QByteArray withSizeLie(QByteArray file, SizeLie lie)
{
    if (lie == SizeLie::Id3v2BadVersion) {
        const int claimed = int(file.size() / 2); // as four 7-bit bytes
        QByteArray header("ID3\xff\xff\x00", 6);
        for (int shift : {21, 14, 7, 0})
            header.append(char((claimed >> shift) & 0x7f));
        file.prepend(header);
    } else if (lie == SizeLie::AsfHugeHeader && file.size() >= 24) {
        file.replace(16, 8, QByteArray("\xff\xff\xff\xff\x00\x00\x00\x00", 8));
    } else if (lie == SizeLie::AsfShortHeader && file.size() >= 24) {
        file.replace(16, 8, QByteArray("\x14\x00\x00\x00\x00\x00\x00\x00", 8));
    }
    return file;
}

bool writeLyingFile(const QString &path, SizeLie lie)
{
    const QString codec = path.endsWith(QLatin1String(".wma")) ? "wmav2" : "libmp3lame";
    if (runProgram("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=f=440:d=2", "-ac", "2",
                              "-c:a", codec, "-id3v2_version", "0", path}).status != 0)
        return false;
    return writeFileBytes(path, withSizeLie(fileBytes(path), lie));
}
