// A MusicBrainz ws/2 disc reply in JSON, then the choice of release and medium that a lookup
// makes from it.
#include "lookup/musicbrainz_reply.h"
#include "lookup/release_choice.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto releases = parseMusicBrainzDiscReply(fuzz::bytes(data, size));
    if (!releases)
        return 0;
    if (releases->size() > kMaxReleases)
        fuzz::fail("more releases than the bound");
    // The disc of the seeds: three tracks, its ID on some of their media.
    const MusicBrainzDisc disc{QStringLiteral("DyMY0l8y0023KMaLKg6rccb1Bac-"), {60000, 70000, 80000}};
    const QList<ReleaseCandidate> candidates = discCandidates(*releases, disc);
    const qsizetype chosen = automaticChoice(candidates, QStringLiteral("0602537351169"));
    if (candidates.isEmpty() != (chosen < 0) || chosen >= candidates.size())
        fuzz::fail("the choice is no candidate");
    for (const ReleaseCandidate &c : candidates) {
        const DiscNames names = c.names.shortened();
        if (names.titles.size() != names.trackArtists.size() || names.musicBrainz.releaseId.isEmpty())
            fuzz::fail("a candidate's names do not fit together");
        for (qsizetype i = 0; i < names.titles.size(); ++i)
            names.shownTitle(i);
    }
    return 0;
}
