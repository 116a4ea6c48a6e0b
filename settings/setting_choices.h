#pragma once

#include <array>

// The drop-down settings: the caption a list shows and the value stored for it. Lists stored
// as positions ("cd type", "output type", "filename format") keep only their captions.
struct Choice {
    const char *text;
    int value;
};

namespace choices {

inline constexpr std::array<Choice, 3> mp3Frequencies{{
    {"32000hz", 32000}, {"44100hz", 44100}, {"48000hz", 48000}}};
inline constexpr std::array<Choice, 3> oggFrequencies{{
    {"32000Hz", 32000}, {"44100Hz", 44100}, {"48000Hz", 48000}}};
inline constexpr std::array<Choice, 2> channels{{{"Mono", 1}, {"Stereo", 2}}};
inline constexpr std::array<Choice, 17> mp3Bitrates{{
    {"8kb", 8}, {"16kb", 16}, {"24kb", 24}, {"32kb", 32}, {"40kb", 40}, {"48kb", 48},
    {"56kb", 56}, {"64kb", 64}, {"80kb", 80}, {"96kb", 96}, {"112kb", 112}, {"128kb", 128},
    {"160kb", 160}, {"192kb", 192}, {"224kb", 224}, {"256kb", 256}, {"320kb", 320}}};
inline constexpr std::array<Choice, 12> oggBitrates{{
    {"48kb", 48}, {"56kb", 56}, {"64kb", 64}, {"80kb", 80}, {"96kb", 96}, {"112kb", 112},
    {"128kb", 128}, {"160kb", 160}, {"192kb", 192}, {"224kb", 224}, {"256kb", 256},
    {"320kb", 320}}};

inline constexpr std::array<const char *, 4> cdTypes{"Auto", "IDE", "SCSI", "SCSI(old)"};
inline constexpr std::array<const char *, 4> outputTypes{
    "MP3 files (*.MP3)", "WAV files (*.WAV)", "WMA files (*.WMA)", "OGG files (*.OGG)"};
// The naming rules by "filename format"; "/" starts a directory level.
inline constexpr std::array<const char *, 7> namingRules{
    "<Title>", "<Title>-<Artist>", "<Title>-<Artist>-<Album>", "<artist>/<title>",
    "<artist>/<number>-<title>", "<artist>/<album>/<title>", "<artist>/<album>/<number>-<title>"};

// Opus: "bitrate mode" 0..2.
inline constexpr std::array<Choice, 3> opusBitrateModes{{
    {"VBR", 0}, {"Constrained VBR", 1}, {"Hard CBR", 2}}};

// The radio groups of "cd settings" by the value stored for each: "grab mode", "error action".
inline constexpr std::array<Choice, 4> grabModes{{
    {"Burst mode", 1}, {"Synch mode(Correct Jitter Errors)", 2},
    {"Secure Mode (Double Precision Error Correction)", 3},
    {"Paranoid Mode (Small Blocks Read, drive cache disable)", 4}}};
inline constexpr std::array<Choice, 4> errorActions{{
    {"Stop", 0}, {"Silence", 1}, {"Cut", 2}, {"Correct", 3}}};

// OGG: at 32000 Hz mono the encoder takes no more than this bit-rate position ("64kb").
inline constexpr int oggLowRateMaxBitratePosition = 2;

} // namespace choices
