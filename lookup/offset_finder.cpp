#include "lookup/offset_finder.h"

#include "disc/audio_grabber.h"
#include "disc/cd_settings.h"
#include "lookup/drive_offsets.h"
#include "disc/cd_disc.h"
#include "disc/track_checksums.h"
#include "settings/settings_keys.h"

#include <algorithm>

namespace {

constexpr int kRange = settings::kMaxReadOffset;
constexpr int kTracksTried = 3;
// The offsets that most drives in the database have, most common first.
constexpr int kCommonOffsets[] = {6, 667, 48, 102, 30, 103, 0, 12, 97, 116, 1776, 738, 704, 91, 594, 618, -472};

// One read of the whole open track.
std::vector<int16_t> readTrack(AudioGrabber &grabber, int track)
{
    std::vector<int16_t> samples;
    grabber.OpenTrack(track);
    for (SampleBlock block = grabber.ReadBlock(44100 * 2); !block.isEmpty(); block = grabber.ReadBlock(44100 * 2))
        samples.insert(samples.end(), block.samples.begin(), block.samples.end());
    grabber.CloseTrack();
    return samples;
}

// The drive's frames from kRange before the track to kRange after it, as drive frames: index
// kRange + k + o is frame k of the track read with offset o.
std::vector<int16_t> readWithRoom(AudioGrabber &grabber, int track, int64_t frames)
{
    grabber.setReadOffset(-kRange);
    std::vector<int16_t> samples = readTrack(grabber, track);
    grabber.setReadOffset(kRange);
    const std::vector<int16_t> after = readTrack(grabber, track);
    if (int64_t(samples.size()) != frames * 2 || int64_t(after.size()) != frames * 2)
        return {};
    samples.insert(samples.end(), after.end() - 2 * 2 * kRange, after.end());
    return samples;
}

// The frame as AccurateRip reads it: left in the low half, right in the high half.
uint32_t word(const std::vector<int16_t> &samples, int64_t frame)
{
    return uint32_t(uint16_t(samples[size_t(frame) * 2])) | uint32_t(uint16_t(samples[size_t(frame) * 2 + 1])) << 16;
}

TrackChecksums checksumsAt(const std::vector<int16_t> &room, int64_t frames, const TrackChecksummer &blank, int offset)
{
    TrackChecksummer sums = blank;
    sums.add(room.data() + (kRange + offset) * 2, size_t(frames) * 2);
    return sums.result();
}

bool isMatch(const AccurateRipVerdict &verdict) { return verdict.kind == AccurateRipVerdict::Accurate; }

// Every offset by v1, sliding: S(o+1) = S(o) + hi·x[o+hi] - lo·x[o+lo] - W(o), where S is the sum
// of (i+1)·x[o+i] over lo <= i < hi and W the plain sum of the same frames (all modulo 2^32).
std::optional<int> slideV1(const std::vector<int16_t> &room, const TrackChecksummer &blank,
                           const std::vector<uint32_t> &wanted)
{
    const uint32_t lo = uint32_t(blank.firstCounted() - 1), hi = uint32_t(blank.lastCounted());
    uint32_t s = 0, w = 0;
    for (uint32_t i = lo; i < hi; ++i) {
        s += (i + 1) * word(room, i);
        w += word(room, i);
    }
    for (int64_t base = 0; base <= 2 * kRange; ++base) {
        if (std::find(wanted.begin(), wanted.end(), s) != wanted.end())
            return int(base - kRange);
        if (base == 2 * kRange)
            break;
        const uint32_t first = word(room, base + lo), next = word(room, base + hi);
        s += hi * next - lo * first - w;
        w += next - first;
    }
    return std::nullopt;
}

} // namespace

std::optional<FoundOffset> findReadOffset(AudioGrabber &grabber, const std::vector<AccurateRipPressing> &pressings)
{
    const CdToc toc = grabber.toc();
    int tried = 0;
    for (size_t index = 0; index < toc.tracks.size() && tried < kTracksTried; ++index) {
        const CdTocTrack &track = toc.tracks[index];
        std::vector<uint32_t> wanted;
        for (const AccurateRipPressing &pressing : pressings) {
            if (index < pressing.tracks.size() && pressing.tracks[index].confidence > 0)
                wanted.push_back(pressing.tracks[index].checksum);
        }
        if (!track.audio || wanted.empty())
            continue;
        ++tried;
        const int64_t frames = int64_t(track.sectors) * 588;
        const std::vector<int16_t> room = readWithRoom(grabber, int(index) + 1, frames);
        if (room.empty())
            continue;
        const TrackChecksummer blank = checksummerFor(toc, track);
        for (int offset : kCommonOffsets) {
            const AccurateRipVerdict verdict = accurateRipVerdict(pressings, int(index), checksumsAt(room, frames, blank, offset));
            if (isMatch(verdict))
                return FoundOffset{offset, track.number, verdict};
        }
        if (const std::optional<int> offset = slideV1(room, blank, wanted)) {
            const AccurateRipVerdict verdict = accurateRipVerdict(pressings, int(index), checksumsAt(room, frames, blank, *offset));
            if (isMatch(verdict))
                return FoundOffset{*offset, track.number, verdict};
        }
    }
    return std::nullopt;
}

std::optional<int> proposedReadOffset(const DriveOffsetList &list, const IniFile &ini,
                                      const QString &vendor, const QString &model)
{
    if (ownReadOffset(ini, vendor, model))
        return std::nullopt;
    return list.find(vendor, model);
}

QString proposedReadOffsetText(int offset, const QString &vendor, const QString &model)
{
    return QStringLiteral("Offset from the drive database: %1 (%2 %3)")
        .arg(signedOffsetText(offset), vendor.simplified(), model.simplified());
}
