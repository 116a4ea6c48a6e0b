#pragma once

#include "codec/sample_block.h"
#include "tags/tag_set.h"

#include <memory>
#include <optional>
#include <vector>

// The EBU R128 loudness of one track, measured block by block (libebur128, in histogram mode:
// its memory stays the same for any length) with its sample peak. A true peak would need
// four-times oversampling of every block; the sample peak is what ReplayGain has always used.
class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(LoudnessMeter &&) noexcept;
    LoudnessMeter &operator=(LoudnessMeter &&) noexcept;

    // The first block sets the rate and channels; a block of another format is left out.
    void add(const SampleBlock &block);
    void add(const WideSampleBlock &block);
    // Nothing before a block or for silence (no loudness to bring to the reference).
    std::optional<LoudnessValues> values() const;
    // The loudness of all of them as one programme, and the highest peak.
    static std::optional<LoudnessValues> together(const std::vector<const LoudnessMeter *> &meters);

private:
    struct State;
    bool ready(int rate, int channels);
    std::unique_ptr<State> m;
};

// What "replaygain" asks for: nothing, the track's values, or both the track's and the album's.
enum class ReplayGainMode { None, Track, Album };
class IniFile;
ReplayGainMode replayGainMode(const IniFile &ini);
