#include "codec/audio_codec.h"

#include <algorithm>
#include <array>

namespace {

// FFmpeg's wmav2 encoder refuses less than this; lower profiles keep their rate and channels.
constexpr int kLowestEncoderKbps = 24;

constexpr WmaProfile profile(int code, int rate, int channels, int kbps)
{
    return WmaProfile{code, rate, channels, kbps, kbps < kLowestEncoderKbps ? kLowestEncoderKbps : kbps};
}

constexpr std::array<WmaProfile, 33> kProfiles{{
    profile(1, 8000, 1, 5),     profile(2, 8000, 1, 6),     profile(3, 8000, 1, 8),
    profile(4, 11025, 1, 8),    profile(5, 11025, 1, 10),   profile(6, 16000, 1, 10),
    profile(7, 8000, 2, 12),    profile(8, 16000, 1, 12),   profile(9, 16000, 1, 16),
    profile(10, 16000, 2, 16),  profile(11, 22050, 1, 16),  profile(12, 16000, 2, 20),
    profile(13, 22050, 1, 20),  profile(14, 22050, 2, 20),  profile(15, 32000, 1, 20),
    profile(16, 22050, 2, 22),  profile(17, 22050, 2, 32),  profile(18, 32000, 2, 32),
    profile(19, 44100, 1, 32),  profile(20, 44100, 2, 31),  profile(21, 32000, 2, 40),
    profile(22, 32000, 2, 48),  profile(23, 44100, 1, 48),  profile(24, 44100, 2, 48),
    profile(25, 44100, 2, 64),  profile(26, 44100, 2, 80),  profile(27, 44100, 2, 96),
    profile(28, 44100, 2, 128), profile(29, 48000, 2, 128), profile(30, 44100, 2, 160),
    profile(31, 48000, 2, 160), profile(32, 44100, 2, 192), profile(33, 48000, 2, 192),
}};

} // namespace

const WmaProfile *wmaProfile(int code)
{
    const auto it = std::find_if(kProfiles.begin(), kProfiles.end(),
                                 [code](const WmaProfile &p) { return p.code == code; });
    return it == kProfiles.end() ? nullptr : &*it;
}
