#pragma once

#include <QString>
#include <cstdint>
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
