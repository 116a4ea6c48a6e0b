#include "disc/track_checksums.h"

#include "disc/cd_disc.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include <libdeflate.h>

namespace {

constexpr int64_t kSectorFrames = 588;
constexpr int64_t kEdgeFrames = 5 * kSectorFrames;

// The PCM bytes as the disc holds them, little-endian, whatever the host's order. libdeflate's
// CRC-32 uses the processor's carry-less multiply: several times zlib's speed.
void crcOf(uint32_t &crc, const int16_t *samples, size_t count)
{
    if constexpr (std::endian::native == std::endian::little) {
        crc = libdeflate_crc32(crc, samples, count * 2);
        return;
    }
    std::vector<uint8_t> bytes(count * 2);
    for (size_t i = 0; i < count; ++i) {
        bytes[2 * i] = uint8_t(uint16_t(samples[i]) & 0xFF);
        bytes[2 * i + 1] = uint8_t(uint16_t(samples[i]) >> 8);
    }
    crc = libdeflate_crc32(crc, bytes.data(), bytes.size());
}

// The frame as AccurateRip reads it: left in the low half, right in the high half.
uint32_t frameWord(const int16_t *frame)
{
    uint32_t word;
    if constexpr (std::endian::native == std::endian::little)
        std::memcpy(&word, frame, sizeof word);
    else
        word = uint32_t(uint16_t(frame[0])) | uint32_t(uint16_t(frame[1])) << 16;
    return word;
}

// The loops below are kept free of branches so that the compiler vectorizes them.
int peakOf(const int16_t *samples, size_t count)
{
    int16_t highest = 0, lowest = 0;
    for (size_t i = 0; i < count; ++i) {
        highest = std::max(highest, samples[i]);
        lowest = std::min(lowest, samples[i]);
    }
    return std::max(int(highest), -int(lowest));
}

// Sums of the low and high halves of frame word × position over `frames` frames, the first at
// 1-based position `position` (taken modulo 2^32, as AccurateRip does). v1 is the low sum,
// v2 the low plus the high.
struct ProductSums {
    uint32_t low = 0;
    uint32_t high = 0;
};
ProductSums productSums(const int16_t *samples, size_t frames, uint64_t position)
{
    uint32_t low = 0, high = 0;
    const auto first = uint32_t(position);
    for (size_t i = 0; i < frames; ++i) {
        const uint64_t product = uint64_t(frameWord(samples + 2 * i)) * uint32_t(first + uint32_t(i));
        low += uint32_t(product);
        high += uint32_t(product >> 32);
    }
    return {low, high};
}

} // namespace

uint32_t pcmCrc32(uint32_t crc, const int16_t *samples, size_t count)
{
    crcOf(crc, samples, count);
    return crc;
}

TrackChecksummer::TrackChecksummer(int64_t trackFrames, bool firstTrack, bool lastTrack)
{
    m_firstCounted = firstTrack ? uint64_t(kEdgeFrames) : 1;
    m_lastCounted = uint64_t(std::max<int64_t>(0, lastTrack ? trackFrames - kEdgeFrames : trackFrames));
}

void TrackChecksummer::add(const int16_t *samples, size_t count)
{
    if (count == 0)
        return;
    m_sums.crc32 = pcmCrc32(m_sums.crc32, samples, count);
    if (m_hasPending) {
        const int16_t frame[2] = {m_pending, samples[0]};
        addFrames(frame, 1);
        ++samples;
        --count;
        m_hasPending = false;
    }
    addFrames(samples, count / 2);
    if (count % 2 != 0) {
        m_pending = samples[count - 1];
        m_hasPending = true;
    }
}

void TrackChecksummer::addFrames(const int16_t *samples, size_t frames)
{
    m_sums.peak = std::max(m_sums.peak, peakOf(samples, frames * 2));
    // These frames sit at positions m_position + 1 to m_position + frames; the counted ones
    // among them are one run.
    const uint64_t first = std::max(m_position + 1, m_firstCounted);
    const uint64_t last = std::min(m_position + frames, m_lastCounted);
    if (first <= last) {
        const ProductSums sums = productSums(samples + 2 * (first - m_position - 1), last - first + 1, first);
        m_sums.accurateRipV1 += sums.low;
        m_sums.accurateRipV2 += sums.low + sums.high;
    }
    m_position += frames;
}

TrackChecksums TrackChecksummer::result() const
{
    TrackChecksums sums = m_sums;
    sums.frames = int64_t(m_position);
    return sums;
}

// The AccurateRip sums leave out the edges of the disc's first and last audio tracks.
TrackChecksummer checksummerFor(const CdToc &toc, const CdTocTrack &track)
{
    const CdTocTrack *first = nullptr;
    const CdTocTrack *last = nullptr;
    for (const CdTocTrack &t : toc.tracks) {
        if (t.audio) {
            first = first ? first : &t;
            last = &t;
        }
    }
    return TrackChecksummer(int64_t(track.sectors) * kSectorFrames, &track == first, &track == last);
}

