#pragma once

#include "codec/audio_file.h"

#include <algorithm>

// What the conversions ask AudioFile::ReadBlock for: a fixed count of frames (a second of CD
// audio) times the channels, so that the block size depends on no rate from a file's header.
constexpr int kConversionBlockFrames = 44100;

inline int conversionBlockSamples(const AudioFile &file)
{
    return kConversionBlockFrames * std::max(1, file.Channels());
}
