#include "audio/freedb_disc_id.h"

#include "audio/cd_disc.h"

#include <QStringList>

#include <discid/discid.h>

namespace {

constexpr int kLsnToLba = 150;
constexpr int kSectorsPerSecond = 75;

} // namespace

FreedbToc FreedbToc::fromToc(const CdToc &toc)
{
    FreedbToc result;
    if (toc.isEmpty())
        return result;
    result.firstTrack = toc.tracks.front().number;
    for (const CdTocTrack &track : toc.tracks)
        result.trackOffsets.push_back(track.firstLsn + kLsnToLba);
    result.leadoutOffset = toc.leadoutLsn + kLsnToLba;
    return result;
}

QString FreedbToc::discId() const
{
    const int count = int(trackOffsets.size());
    if (count == 0 || firstTrack < 1 || firstTrack + count - 1 > 99)
        return {};
    // libdiscid wants offsets[0] = lead-out, then the tracks, indexed by track number.
    std::vector<int> offsets(100, 0);
    offsets[0] = leadoutOffset;
    for (int i = 0; i < count; ++i)
        offsets[size_t(firstTrack + i)] = trackOffsets[size_t(i)];
    DiscId *disc = discid_new();
    QString id;
    if (discid_put(disc, firstTrack, firstTrack + count - 1, offsets.data()))
        id = QString::fromLatin1(discid_get_freedb_id(disc)).toLower();
    discid_free(disc);
    return id;
}

QString FreedbToc::queryArguments() const
{
    QStringList parts{discId(), QString::number(trackOffsets.size())};
    for (int offset : trackOffsets)
        parts.append(QString::number(offset));
    parts.append(QString::number(leadoutOffset / kSectorsPerSecond));
    return parts.join(QLatin1Char(' '));
}
