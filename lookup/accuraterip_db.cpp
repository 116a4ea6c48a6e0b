#include "lookup/accuraterip_db.h"

#include "disc/accuraterip_disc_id.h"
#include "disc/track_checksums.h"

#include <algorithm>

namespace {

constexpr qsizetype kHeadBytes = 13;
constexpr qsizetype kEntryBytes = 9;

uint32_t le32(const QByteArray &bytes, qsizetype at)
{
    const auto *p = reinterpret_cast<const uint8_t *>(bytes.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

std::optional<std::vector<AccurateRipPressing>> parseDbar(const QByteArray &bytes)
{
    std::vector<AccurateRipPressing> pressings;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < kHeadBytes)
            return std::nullopt;
        const int count = uint8_t(bytes[at]);
        if (count == 0 || bytes.size() - at - kHeadBytes < count * kEntryBytes)
            return std::nullopt;
        AccurateRipPressing pressing;
        pressing.id1 = le32(bytes, at + 1);
        pressing.id2 = le32(bytes, at + 5);
        pressing.freedbId = le32(bytes, at + 9);
        at += kHeadBytes;
        for (int i = 0; i < count; ++i, at += kEntryBytes)
            pressing.tracks.push_back({int(uint8_t(bytes[at])), le32(bytes, at + 1)});
        pressings.push_back(std::move(pressing));
    }
    if (pressings.empty())
        return std::nullopt;
    return pressings;
}

std::vector<AccurateRipPressing> pressingsOfDisc(std::vector<AccurateRipPressing> pressings,
                                                 const AccurateRipDiscId &id)
{
    std::erase_if(pressings, [&id](const AccurateRipPressing &p) {
        return int(p.tracks.size()) != id.audioTracks || p.id1 != id.id1 || p.id2 != id.id2
            || p.freedbId != id.freedbId;
    });
    return pressings;
}

QString AccurateRipVerdict::text() const
{
    switch (kind) {
    case Accurate:
        return QStringLiteral("accurately ripped (v%1, confidence %2)").arg(version).arg(confidence);
    case NotPresent:
        return QStringLiteral("not present in the database");
    case Mismatch:
        return QStringLiteral("mismatch (best confidence %1)").arg(confidence);
    default:
        return QStringLiteral("not checked");
    }
}

AccurateRipVerdict accurateRipVerdict(const std::vector<AccurateRipPressing> &pressings,
                                      int index, const TrackChecksums &sums)
{
    AccurateRipVerdict verdict{AccurateRipVerdict::NotPresent, 0, 0};
    int bestSeen = 0;
    bool seen = false;
    for (const AccurateRipPressing &pressing : pressings) {
        if (index < 0 || index >= int(pressing.tracks.size()))
            continue;
        const AccurateRipPressing::Entry &entry = pressing.tracks[size_t(index)];
        // A zero entry holds no checksum: the track was too short or never submitted.
        if (entry.confidence == 0 && entry.checksum == 0)
            continue;
        seen = true;
        bestSeen = std::max(bestSeen, entry.confidence);
        const int version = entry.checksum == sums.accurateRipV2 ? 2
            : entry.checksum == sums.accurateRipV1              ? 1
                                                                : 0;
        if (version != 0 && entry.confidence >= verdict.confidence)
            verdict = {AccurateRipVerdict::Accurate, version, entry.confidence};
    }
    if (verdict.kind == AccurateRipVerdict::Accurate)
        return verdict;
    if (seen)
        return {AccurateRipVerdict::Mismatch, 0, bestSeen};
    return verdict;
}
