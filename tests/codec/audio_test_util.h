#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class AudioFile;

// A file read to its end through AudioFile, as the conversion jobs read it.
struct ReadResult {
    int error = 0;
    int rate = 0;
    int channels = 0;
    int64_t sampleCount = 0; // what the reader announced
    std::vector<int16_t> samples;
};

ReadResult readWithAudioFile(const QString &path);

// Copies source into target block by block (one second per block) with `writer`, whose format
// was set up by the caller. Returns the first non-zero error code, or 0.
int convertWithAudioFile(const QString &source, AudioFile &writer, const QString &target);

// Copies source into target through the conversions' own block loop (copyFile), normalizing
// to `ratio` when given. True when the copy ran to its end and the target was closed whole.
bool convertLikeTheJobs(const QString &source, AudioFile &writer, const QString &target,
                        std::optional<float> ratio = std::nullopt);

// The amplitude (in sample units) of a sine at `frequency` in one channel of interleaved
// samples, measured over `seconds` from the middle of the signal (a Hann-windowed single-bin
// DFT: other tones and broadband noise barely reach it).
double toneAmplitude(const std::vector<int16_t> &samples, int channels, int channel, int rate,
                     double frequency, double seconds = 0.5);

// As toneAmplitude, for samples of any depth given as doubles.
double toneAmplitude(const std::vector<double> &samples, int channels, int channel, int rate,
                     double frequency, double seconds = 0.5);

// Every sample of the file as ffmpeg decodes it, at full depth, left-justified in 32 bits
// (full scale is 2^31), interleaved.
std::vector<int32_t> decodeWithFfmpegDeep(const QString &path);

double decibels(double ratio);
