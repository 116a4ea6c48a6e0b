#include "disc/freedb_disc_id.h"

#include "disc/cd_disc.h"

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

namespace {

// The offsets through libdiscid, read back with `id`; empty when libdiscid refuses them.
QString libdiscidId(const FreedbToc &toc, char *(*id)(DiscId *))
{
    const int count = int(toc.trackOffsets.size());
    if (count == 0 || toc.firstTrack < 1 || toc.firstTrack + count - 1 > 99)
        return {};
    // libdiscid wants offsets[0] = lead-out, then the tracks, indexed by track number.
    std::vector<int> offsets(100, 0);
    offsets[0] = toc.leadoutOffset;
    for (int i = 0; i < count; ++i)
        offsets[size_t(toc.firstTrack + i)] = toc.trackOffsets[size_t(i)];
    DiscId *disc = discid_new();
    QString text;
    if (discid_put(disc, toc.firstTrack, toc.firstTrack + count - 1, offsets.data()))
        text = QString::fromLatin1(id(disc));
    discid_free(disc);
    return text;
}

} // namespace

QString FreedbToc::discId() const
{
    return libdiscidId(*this, discid_get_freedb_id).toLower();
}

QString FreedbToc::musicBrainzId() const
{
    return libdiscidId(*this, discid_get_id);
}

QString FreedbToc::queryArguments() const
{
    QStringList parts{discId(), QString::number(trackOffsets.size())};
    for (int offset : trackOffsets)
        parts.append(QString::number(offset));
    parts.append(QString::number(leadoutOffset / kSectorsPerSecond));
    return parts.join(QLatin1Char(' '));
}

QString FreedbToc::musicBrainzToc() const
{
    if (isEmpty())
        return {};
    QStringList parts{QString::number(firstTrack),
                      QString::number(firstTrack + int(trackOffsets.size()) - 1),
                      QString::number(leadoutOffset)};
    for (int offset : trackOffsets)
        parts.append(QString::number(offset));
    return parts.join(QLatin1Char(' '));
}

QList<qint64> FreedbToc::trackLengthsMs() const
{
    QList<qint64> lengths;
    for (size_t i = 0; i < trackOffsets.size(); ++i) {
        const int end = i + 1 < trackOffsets.size() ? trackOffsets[i + 1] : leadoutOffset;
        lengths.append(qint64(end - trackOffsets[i]) * 1000 / kSectorsPerSecond);
    }
    return lengths;
}
