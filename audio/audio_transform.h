#pragma once

#include "audio/sample_block.h"

#include <memory>

// Streaming normalizer: brings the level to `ratio` percent of full scale without clipping
// and without gain steps between blocks. Reset() before each new file or track.
class AudioTransform {
public:
    AudioTransform();
    ~AudioTransform();
    void NormalizeBlock(SampleBlock &block, float ratio, int = -1);
    void Reset();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
