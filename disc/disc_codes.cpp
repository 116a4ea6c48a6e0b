#include "disc/disc_codes.h"

#include "disc/cd_disc.h"
#include "disc/image/cd_image.h"
#include "disc/simulated_drive.h"
#include "disc/freedb_disc_id.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

#include <cdio/cdio.h>

namespace {

constexpr int kLsnToLba = 150;

QString takeCdioString(char *text)
{
    if (!text)
        return {};
    QString value = QString::fromLatin1(text).trimmed();
    cdio_free(text);
    return value;
}

} // namespace

// Drives (and sheets copied from them) report an unset catalog or ISRC as zeros.
QString validCatalog(const QString &mcn)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{13}$"));
    return digits.match(mcn).hasMatch() && mcn != QString(13, QLatin1Char('0')) ? mcn : QString();
}

QString validIsrc(const QString &isrc)
{
    static const QRegularExpression code(QStringLiteral("^[A-Z0-9]{5}\\d{7}$"));
    return code.match(isrc).hasMatch() && isrc != QString(12, QLatin1Char('0')) ? isrc : QString();
}

DiscCodes readDiscCodes(const CdDisc &disc)
{
    if (disc.isImage())
        return disc.image()->codes; // checked by the sheet's reader
    if (disc.simulation())
        return disc.simulation()->layout().codes;
    DiscCodes codes;
    codes.catalog = validCatalog(takeCdioString(cdio_get_mcn(disc.handle())));
    for (const CdTocTrack &track : disc.toc().tracks) {
        const auto number = track_t(track.number);
        codes.isrcs.append(validIsrc(takeCdioString(cdio_get_track_isrc(disc.handle(), number))));
        const lsn_t pregap = cdio_get_track_pregap_lsn(disc.handle(), number);
        codes.pregapSectors.append(pregap != CDIO_INVALID_LSN && pregap < track.firstLsn
                                       ? track.firstLsn - pregap
                                       : 0);
    }
    return codes;
}

FreedbToc musicBrainzSession(const CdToc &toc)
{
    int last = 0, leadout = toc.leadoutLsn;
    for (const CdTocTrack &track : toc.tracks) {
        if (track.audio) {
            last = track.number;
        } else if (last && track.number > last) {
            leadout = std::min(leadout, track.firstLsn - kSessionGapSectors);
            break;
        }
    }
    FreedbToc session;
    if (last == 0)
        return session;
    session.firstTrack = toc.tracks.front().number;
    session.leadoutOffset = leadout + kLsnToLba;
    for (const CdTocTrack &track : toc.tracks) {
        if (track.number <= last)
            session.trackOffsets.push_back(track.firstLsn + kLsnToLba);
    }
    return session;
}

QString musicBrainzDiscId(const CdToc &toc)
{
    // The first session only, through the same libdiscid call as the freedb ID.
    return musicBrainzSession(toc).musicBrainzId();
}

QString readDiscCatalog(const CdDisc &disc)
{
    if (disc.isImage())
        return validCatalog(disc.image()->codes.catalog);
    return validCatalog(takeCdioString(cdio_get_mcn(disc.handle())));
}
