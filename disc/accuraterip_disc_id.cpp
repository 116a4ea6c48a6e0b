#include "disc/accuraterip_disc_id.h"

#include "disc/cd_disc.h"
#include "disc/freedb_disc_id.h"

#include <algorithm>

AccurateRipDiscId AccurateRipDiscId::fromToc(const CdToc &toc)
{
    AccurateRipDiscId id;
    for (const CdTocTrack &track : toc.tracks) {
        if (!track.audio)
            continue;
        ++id.audioTracks;
        const uint32_t start = uint32_t(std::max(0, track.firstLsn));
        id.id1 += start;
        // A first track at 0 counts as 1, or its place would be lost from the product.
        id.id2 += std::max<uint32_t>(start, 1) * uint32_t(id.audioTracks);
    }
    if (id.audioTracks == 0)
        return {};
    const uint32_t leadout = uint32_t(std::max(0, toc.leadoutLsn));
    id.id1 += leadout;
    id.id2 += leadout * uint32_t(id.audioTracks + 1);
    id.freedbId = FreedbToc::fromToc(toc).discId().toUInt(nullptr, 16);
    return id;
}

QString AccurateRipDiscId::text() const
{
    return QStringLiteral("%1-%2-%3-%4")
        .arg(audioTracks, 3, 10, QLatin1Char('0'))
        .arg(id1, 8, 16, QLatin1Char('0'))
        .arg(id2, 8, 16, QLatin1Char('0'))
        .arg(freedbId, 8, 16, QLatin1Char('0'));
}

QString AccurateRipDiscId::fileName() const
{
    return QStringLiteral("dBAR-") + text() + QStringLiteral(".bin");
}

QString AccurateRipDiscId::urlPath() const
{
    return QStringLiteral("/accuraterip/%1/%2/%3/")
               .arg(id1 & 0xF, 0, 16)
               .arg((id1 >> 4) & 0xF, 0, 16)
               .arg((id1 >> 8) & 0xF, 0, 16)
        + fileName();
}
