#include "lookup/release_choice.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace {

// A track whose length nobody knows counts as far off as it can be: its whole length.
qint64 lengthDistance(const MusicBrainzMedium &medium, const QList<qint64> &disc)
{
    qint64 distance = 0;
    for (qsizetype i = 0; i < disc.size(); ++i) {
        const qint64 known = i < medium.tracks.size() ? medium.tracks[i].lengthMs : -1;
        distance += known < 0 ? disc[i] : std::abs(known - disc[i]);
    }
    return distance;
}

const MusicBrainzMedium *mediumOf(const MusicBrainzRelease &release, const MusicBrainzDisc &disc)
{
    for (const MusicBrainzMedium &medium : release.media) {
        if (medium.discIds.contains(disc.id))
            return &medium;
    }
    const MusicBrainzMedium *closest = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const MusicBrainzMedium &medium : release.media) {
        if (medium.trackCount != disc.trackLengthsMs.size() || medium.tracks.size() != medium.trackCount)
            continue;
        const qint64 distance = lengthDistance(medium, disc.trackLengthsMs);
        if (distance < best) {
            best = distance;
            closest = &medium;
        }
    }
    return closest;
}

DiscNames namesOf(const MusicBrainzRelease &release, const MusicBrainzMedium &medium)
{
    DiscNames names;
    names.artist = release.artist;
    names.album = release.title;
    names.date = releaseDate(release.date);
    names.discNumber = medium.position;
    names.discTotal = int(release.media.size());
    names.trackTotal = medium.trackCount;
    names.musicBrainz.releaseId = release.id;
    names.musicBrainz.releaseGroupId = release.releaseGroupId;
    for (const MusicBrainzTrack &track : medium.tracks) {
        names.titles.append(track.title);
        names.trackArtists.append(track.artist);
        names.musicBrainz.recordingIds.append(track.recordingId);
        names.musicBrainz.trackIds.append(track.id);
    }
    return names;
}

// A UPC-A barcode is the EAN-13 catalog number without its leading zero.
QString asEan13(const QString &code)
{
    QString digits;
    for (const QChar c : code) {
        if (c.isDigit())
            digits.append(c);
    }
    return digits.size() == 12 ? QLatin1Char('0') + digits : digits;
}

} // namespace

QList<ReleaseCandidate> discCandidates(const QList<MusicBrainzRelease> &releases,
                                       const MusicBrainzDisc &disc)
{
    QList<ReleaseCandidate> candidates;
    for (const MusicBrainzRelease &release : releases) {
        const MusicBrainzMedium *medium = mediumOf(release, disc);
        if (!medium || release.id.isEmpty())
            continue;
        candidates.append({namesOf(release, *medium), release.country, medium->format,
                           release.barcode, lengthDistance(*medium, disc.trackLengthsMs)});
    }
    return candidates;
}

qsizetype automaticChoice(const QList<ReleaseCandidate> &candidates, const QString &catalog)
{
    const QString mcn = asEan13(catalog);
    const auto key = [&mcn](const ReleaseCandidate &c) {
        const bool barcodeMatches = !mcn.isEmpty() && asEan13(c.barcode) == mcn;
        // An unknown date sorts after every known one.
        const QString date = c.names.date.isEmpty() ? QStringLiteral("~") : c.names.date;
        return std::make_tuple(!barcodeMatches, c.lengthDistanceMs, date);
    };
    qsizetype best = -1;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (best < 0 || key(candidates[i]) < key(candidates[best]))
            best = i;
    }
    return best;
}
