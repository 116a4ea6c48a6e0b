#pragma once

#include "settings/setting_choices.h"

#include <array>

// The WMA formats the settings offer, in the order of the settings dialog's list. The value is
// the format's code: what "wma format" stores and what AudioFile::SetWmaFormat takes.
inline constexpr std::array<Choice, 33> wmaFormats{{
    {"8000Hz;16Bit;Mono;5kbps", 1},
    {"8000Hz;16Bit;Mono;6kbps", 2},
    {"8000Hz;16Bit;Mono;8kbps", 3},
    {"8000Hz;16Bit;Stereo;12kbps", 7},
    {"11025Hz;16Bit;Mono;8kbps", 4},
    {"11025Hz;16Bit;Mono;10kbps", 5},
    {"16000Hz;16Bit;Mono;10kbps", 6},
    {"16000Hz;16Bit;Mono;12 kbps", 8},
    {"16000Hz;16Bit;Mono;16kbps", 9},
    {"16000Hz;16Bit;Stereo;16kbps", 10},
    {"16000Hz;16Bit;Stereo;20 kbps", 12},
    {"22050Hz;16Bit;Mono;16kbps", 11},
    {"22050Hz;16Bit;Mono;20kbps", 13},
    {"22050Hz;16Bit;Stereo;20kbps", 14},
    {"22050Hz;16Bit;Stereo;22kbps", 16},
    {"22050Hz;16Bit;Stereo;32kbps", 17},
    {"32000Hz;16Bit;Mono;20kbps", 15},
    {"32000Hz;16Bit;Stereo;32kbps", 18},
    {"32000Hz;16Bit;Stereo;40kbps", 21},
    {"32000Hz;16Bit;Stereo;48kbps", 22},
    {"44100Hz;16Bit;Mono;32kbps", 19},
    {"44100Hz;16Bit;Mono;48kbps", 23},
    {"44100Hz;16Bit;Stereo;31kbps", 20},
    {"44100Hz;16Bit;Stereo;48kbps", 24},
    {"44100Hz;16Bit;Stereo;64kbps", 25},
    {"44100Hz;16Bit;Stereo;80 kbps", 26},
    {"44100Hz;16Bit;Stereo;96kbps", 27},
    {"44100Hz;16Bit;Stereo;128kbps", 28},
    {"44100Hz;16Bit;Stereo;160kbps", 30},
    {"44100Hz;16Bit;Stereo;192kbps", 32},
    {"48000Hz;16Bit;Stereo;128kbps", 29},
    {"48000Hz;16 Bit;Stereo;160kbps", 31},
    {"48000Hz;16Bit;Stereo;192kbps", 33},
}};
