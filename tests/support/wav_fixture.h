#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// A test WAV: 16-bit PCM, a sine on every channel. Channel c plays frequency * (c + 1), so
// swapped or lost channels show up when the result is compared with the original.
struct WavFixture {
    double seconds = 1.0;
    int rate = 44100;
    int channels = 2;
    double frequency = 440.0;
    double amplitude = 0.5; // of full scale
};

// The interleaved samples of the fixture.
std::vector<int16_t> sineSamples(const WavFixture &fixture);

// Writes the fixture to path (a plain RIFF/WAVE file written by hand, independent of the
// libraries under test). False when the file cannot be written.
bool writeSineWav(const QString &path, const WavFixture &fixture = {});

// Writes any interleaved samples as a WAV file.
bool writeWav(const QString &path, const std::vector<int16_t> &samples, int rate, int channels);

// Writes a short sine WAV whose header claims `claimedRate` (and the byte rate that goes with it),
// whatever the samples were made at: for readers facing absurd header values.
bool writeWavClaimingRate(const QString &path, quint32 claimedRate, int channels = 2);
