#include "audio/track_checksums.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <vector>

#include <zlib.h>

namespace {

constexpr int64_t kSectorFrames = 588;
constexpr int64_t kEdgeFrames = 5 * kSectorFrames;

// The PCM bytes as the disc holds them, little-endian, whatever the host's order.
void crcOf(uint32_t &crc, const int16_t *samples, size_t count)
{
    if constexpr (std::endian::native == std::endian::little) {
        crc = uint32_t(::crc32(crc, reinterpret_cast<const Bytef *>(samples), uInt(count * 2)));
        return;
    }
    std::vector<uint8_t> bytes(count * 2);
    for (size_t i = 0; i < count; ++i) {
        bytes[2 * i] = uint8_t(uint16_t(samples[i]) & 0xFF);
        bytes[2 * i + 1] = uint8_t(uint16_t(samples[i]) >> 8);
    }
    crc = uint32_t(::crc32(crc, bytes.data(), uInt(bytes.size())));
}

} // namespace

TrackChecksummer::TrackChecksummer(int64_t trackFrames, bool firstTrack, bool lastTrack)
{
    m_firstCounted = firstTrack ? uint64_t(kEdgeFrames) : 1;
    m_lastCounted = uint64_t(std::max<int64_t>(0, lastTrack ? trackFrames - kEdgeFrames : trackFrames));
}

void TrackChecksummer::add(const int16_t *samples, size_t count)
{
    if (count == 0)
        return; // zlib takes an empty buffer for a request to start afresh
    crcOf(m_sums.crc32, samples, count);
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
    uint32_t v1 = m_sums.accurateRipV1;
    uint32_t v2 = m_sums.accurateRipV2;
    int peak = m_sums.peak;
    uint64_t position = m_position;
    for (size_t i = 0; i < frames * 2; i += 2) {
        const uint32_t left = uint16_t(samples[i]);
        const uint32_t right = uint16_t(samples[i + 1]);
        peak = std::max({peak, std::abs(int(samples[i])), std::abs(int(samples[i + 1]))});
        ++position;
        if (position < m_firstCounted || position > m_lastCounted)
            continue;
        const uint64_t product = uint64_t((right << 16) | left) * (position & 0xFFFFFFFFu);
        v1 += uint32_t(product);
        v2 += uint32_t(product) + uint32_t(product >> 32);
    }
    m_sums.accurateRipV1 = v1;
    m_sums.accurateRipV2 = v2;
    m_sums.peak = peak;
    m_position = position;
    m_sums.frames = int64_t(position);
}
