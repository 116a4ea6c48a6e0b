// An AccurateRip database reply (a dBAR file: one or more pressings) and the verdict on each
// track place, as the proof of a rip takes them.
#include "disc/accuraterip_disc_id.h"
#include "disc/track_checksums.h"
#include "lookup/accuraterip_db.h"
#include "fuzz/fuzz_support.h"

#include <algorithm>

namespace {

constexpr qsizetype kHeadBytes = 13;
constexpr qsizetype kEntryBytes = 9;

// Every byte of the reply belongs to exactly one pressing.
size_t checkPressings(const std::vector<AccurateRipPressing> &pressings, qsizetype replyBytes)
{
    qsizetype bytes = 0;
    size_t most = 0;
    for (const AccurateRipPressing &pressing : pressings) {
        if (pressing.tracks.empty() || pressing.tracks.size() > 255)
            fuzz::fail("a pressing with no tracks or more than its count byte holds");
        bytes += kHeadBytes + kEntryBytes * qsizetype(pressing.tracks.size());
        most = std::max(most, pressing.tracks.size());
    }
    if (bytes != replyBytes)
        fuzz::fail("pressings that do not account for every byte of the reply");
    return most;
}

// The checksum entries that the pressings give for track place `index`.
std::vector<AccurateRipPressing::Entry> entriesAt(const std::vector<AccurateRipPressing> &pressings,
                                                 int index)
{
    std::vector<AccurateRipPressing::Entry> entries;
    for (const AccurateRipPressing &pressing : pressings) {
        if (index >= 0 && size_t(index) < pressing.tracks.size())
            entries.push_back(pressing.tracks[size_t(index)]);
    }
    // A zero entry holds no checksum.
    std::erase_if(entries, [](const auto &e) { return e.confidence == 0 && e.checksum == 0; });
    return entries;
}

void checkVerdict(const std::vector<AccurateRipPressing> &pressings, int index,
                  const TrackChecksums &sums, bool matchExpected)
{
    const AccurateRipVerdict verdict = accurateRipVerdict(pressings, index, sums);
    const auto entries = entriesAt(pressings, index);
    const uint32_t sum = verdict.version == 2 ? sums.accurateRipV2 : sums.accurateRipV1;
    const auto matching = [&](const auto &e) { return e.checksum == sum && e.confidence == verdict.confidence; };
    const auto byConfidence = [](const auto &a, const auto &b) { return a.confidence < b.confidence; };
    if (verdict.text().isEmpty())
        fuzz::fail("a verdict without words");
    if (verdict.kind == AccurateRipVerdict::Accurate && std::none_of(entries.cbegin(), entries.cend(), matching))
        fuzz::fail("accurate by a checksum or confidence that the reply does not hold");
    if (verdict.kind == AccurateRipVerdict::Mismatch
        && (matchExpected || entries.empty()
            || std::max_element(entries.cbegin(), entries.cend(), byConfidence)->confidence != verdict.confidence))
        fuzz::fail("a mismatch where the reply matches, or with another confidence than its best");
    if (verdict.kind == AccurateRipVerdict::NotPresent && !entries.empty())
        fuzz::fail("not present where the reply holds a checksum");
    if (verdict.kind == AccurateRipVerdict::NotChecked)
        fuzz::fail("a reply that was read left the track unchecked");
}

// The disc of the first pressing: every pressing with its head is kept, in order, and no other.
void checkDiscFilter(const std::vector<AccurateRipPressing> &pressings)
{
    const AccurateRipPressing &first = pressings.front();
    AccurateRipDiscId id;
    id.audioTracks = int(first.tracks.size());
    id.id1 = first.id1;
    id.id2 = first.id2;
    id.freedbId = first.freedbId;
    const auto same = [&id](const AccurateRipPressing &p) {
        return int(p.tracks.size()) == id.audioTracks && p.id1 == id.id1 && p.id2 == id.id2
            && p.freedbId == id.freedbId;
    };
    const std::vector<AccurateRipPressing> kept = pressingsOfDisc(pressings, id);
    if (kept.empty() || size_t(std::count_if(pressings.cbegin(), pressings.cend(), same)) != kept.size()
        || !std::all_of(kept.cbegin(), kept.cend(), same))
        fuzz::fail("the pressings of the disc are not exactly those with its head");
    id.audioTracks += 1; // a count no pressing of the first's head has
    if (std::any_of(pressings.cbegin(), pressings.cend(), [&](const auto &p) { return same(p); })
        != !pressingsOfDisc(pressings, id).empty())
        fuzz::fail("a pressing kept for another track count");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply = fuzz::bytes(data, size);
    const auto pressings = parseDbar(reply);
    if (!pressings)
        return 0;
    const size_t most = checkPressings(*pressings, reply.size());
    checkDiscFilter(*pressings);
    const std::vector<AccurateRipPressing::Entry> &first = pressings->front().tracks;
    for (int index = -1; index <= int(most); ++index) {
        // A rip whose checksum is the first pressing's entry: as v1, then as v2.
        const bool inFirst = index >= 0 && size_t(index) < first.size();
        const AccurateRipPressing::Entry entry = inFirst ? first[size_t(index)] : AccurateRipPressing::Entry{};
        const bool listed = entry.confidence != 0 || entry.checksum != 0;
        TrackChecksums sums;
        sums.accurateRipV1 = entry.checksum;
        sums.accurateRipV2 = ~entry.checksum;
        checkVerdict(*pressings, index, sums, listed);
        std::swap(sums.accurateRipV1, sums.accurateRipV2);
        checkVerdict(*pressings, index, sums, listed);
    }
    return 0;
}
