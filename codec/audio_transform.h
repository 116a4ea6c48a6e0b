#pragma once

#include "codec/sample_block.h"

#include <cstdint>
#include <optional>

// Peak normalizer with one constant gain per file or track. A first pass hands every block to
// MeasureBlock; NormalizeBlock then multiplies each block by ratio / peak of all that was
// measured, so a constant level comes out with its peak at the ratio, fades and quiet
// passages keep their shape, and nothing clips. A silent input stays as it is. A block that
// arrives with nothing measured before is measured first (a caller holding the whole input in
// one block). Reset() before each new file or track. Wide blocks (deeper than 16 bits) are
// measured and scaled alike, at the same level, and keep their depth.
class AudioTransform {
public:
    void MeasureBlock(const SampleBlock &block);
    void NormalizeBlock(SampleBlock &block, float ratio, int = -1);
    void MeasureBlock(const WideSampleBlock &block);
    void NormalizeBlock(WideSampleBlock &block, float ratio, int = -1);
    void Reset();
    // The largest sample magnitude measured since Reset (32768 for a full negative sample).
    int peak() const { return int(m_peak >> 16); }

private:
    // The gain that puts the peak at `ratio` percent of full scale, measuring `block` first
    // when nothing was; none when the block is to stay as it is.
    template <class Block>
    std::optional<double> gainFor(const Block &block, float ratio);

    int64_t m_peak = 0; // left-justified: a 16-bit sample counts 65536 times its value
    bool m_measured = false;
};
