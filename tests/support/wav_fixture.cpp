#include "tests/support/wav_fixture.h"

#include <QDataStream>
#include <QFile>
#include <cmath>
#include <numbers>

std::vector<int16_t> sineSamples(const WavFixture &fixture)
{
    const auto frames = size_t(std::llround(fixture.seconds * fixture.rate));
    std::vector<int16_t> samples(frames * size_t(fixture.channels));
    const double scale = 32767.0 * fixture.amplitude;
    for (size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < fixture.channels; ++c) {
            const double phase = 2.0 * std::numbers::pi * fixture.frequency * (c + 1) * double(f) / fixture.rate;
            samples[f * size_t(fixture.channels) + size_t(c)] = int16_t(std::lround(scale * std::sin(phase)));
        }
    }
    return samples;
}

bool writeWav(const QString &path, const std::vector<int16_t> &samples, int rate, int channels)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const quint32 dataBytes = quint32(samples.size() * sizeof(int16_t));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(channels) << quint32(rate)
        << quint32(rate * channels * 2) << quint16(channels * 2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (int16_t s : samples)
        out << qint16(s);
    return out.status() == QDataStream::Ok && file.flush();
}

bool writeSineWav(const QString &path, const WavFixture &fixture)
{
    return writeWav(path, sineSamples(fixture), fixture.rate, fixture.channels);
}

bool writeWavClaimingRate(const QString &path, quint32 claimedRate, int channels)
{
    if (!writeSineWav(path, {0.2, 44100, channels}))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(24))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << claimedRate << quint32(quint64(claimedRate) * quint64(channels) * 2);
    return out.status() == QDataStream::Ok && file.flush();
}
