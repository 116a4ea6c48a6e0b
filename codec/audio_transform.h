#pragma once

#include "codec/sample_block.h"

#include <cstdint>

// Peak normalizer with one constant gain per file or track. A first pass hands every block to
// MeasureBlock; NormalizeBlock then multiplies each block by ratio / peak of all that was
// measured, so a constant level comes out with its peak at the ratio, fades and quiet
// passages keep their shape, and nothing clips. A silent input stays as it is. A block that
// arrives with nothing measured before is measured first (a caller holding the whole input in
// one block). Reset() before each new file or track.
class AudioTransform {
public:
    void MeasureBlock(const SampleBlock &block);
    void NormalizeBlock(SampleBlock &block, float ratio, int = -1);
    void Reset();
    // The largest sample magnitude measured since Reset (32768 for a full negative sample).
    int peak() const { return m_peak; }

private:
    int m_peak = 0;
    bool m_measured = false;
};
