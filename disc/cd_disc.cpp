#include "disc/cd_disc.h"

#include "disc/image/cd_image.h"
#include "disc/cdio_log.h"
#include "disc/simulated_drive.h"
#include "disc/text_decoding.h"

#include <QFile>
#include <QFileInfo>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>

namespace {

// libcdio converts CD-Text (and a CUE sheet's TITLE and PERFORMER) from Latin-1 to UTF-8;
// text that was UTF-8 already comes out encoded twice and is undone here.
QString cdTextField(const cdtext_t *text, cdtext_field_t field, track_t track)
{
    const char *value = text ? cdtext_get_const(text, field, track) : nullptr;
    const QString decoded = value ? QString::fromUtf8(value).trimmed() : QString();
    const bool latin1Only = std::all_of(decoded.cbegin(), decoded.cend(),
                                        [](QChar c) { return c.unicode() <= 0xFF; });
    return latin1Only ? fromUtf8OrLatin1(decoded.toLatin1()) : decoded;
}

bool sameToc(const CdToc &a, const CdToc &b)
{
    return a.leadoutLsn == b.leadoutLsn
        && std::equal(a.tracks.begin(), a.tracks.end(), b.tracks.begin(), b.tracks.end(),
                      [](const CdTocTrack &x, const CdTocTrack &y) {
                          return x.number == y.number && x.firstLsn == y.firstLsn && x.audio == y.audio;
                      });
}

} // namespace

std::unique_ptr<CdDisc> CdDisc::open(const QString &source, QString *error)
{
    installCdioLogHandler();
    if (source.isEmpty())
        return nullptr;
    if (QFileInfo(source).isFile() && isDriveDescriptionPath(source)) {
        QString reason;
        std::shared_ptr<SimulatedDrive> simulation = SimulatedDrive::open(source, &reason);
        if (error)
            *error = reason;
        if (!simulation)
            return nullptr;
        CdIo_t *cdio = simulation->takeHandle();
        std::unique_ptr<CdDisc> disc(new CdDisc(cdio, std::move(simulation)));
        if (disc->readToc() && sameToc(disc->toc(), disc->simulation()->layout().toc))
            return disc;
        if (error)
            *error = QFileInfo(source).fileName() + QStringLiteral(": libcdio sees another table of contents");
        return nullptr;
    }
    if (QFileInfo(source).isFile()) {
        QString reason;
        auto layout = readCdImage(source, &reason);
        if (error)
            *error = reason;
        if (!layout)
            return nullptr;
        return std::unique_ptr<CdDisc>(new CdDisc(std::make_unique<CdImageLayout>(std::move(*layout))));
    }
    CdIo_t *cdio = cdio_open(QFile::encodeName(source).constData(), DRIVER_DEVICE);
    if (!cdio)
        return nullptr;
    std::unique_ptr<CdDisc> disc(new CdDisc(cdio));
    if (!disc->readToc())
        return nullptr;
    return disc;
}

CdDisc::CdDisc(CdIo_t *cdio, std::shared_ptr<SimulatedDrive> simulation)
    : m_simulation(std::move(simulation)), m_cdio(cdio)
{
}

CdDisc::CdDisc(std::unique_ptr<CdImageLayout> image) : m_image(std::move(image)), m_toc(m_image->toc) {}

CdDisc::~CdDisc()
{
    if (m_cdio)
        cdio_destroy(m_cdio);
}

bool CdDisc::readToc()
{
    const track_t first = cdio_get_first_track_num(m_cdio);
    const track_t count = cdio_get_num_tracks(m_cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return false;
    m_toc.leadoutLsn = cdio_get_track_lsn(m_cdio, CDIO_CDROM_LEADOUT_TRACK);
    for (track_t t = first; t < first + count; ++t) {
        CdTocTrack track;
        track.number = t;
        track.firstLsn = cdio_get_track_lsn(m_cdio, t);
        const lsn_t next = t + 1 < first + count ? cdio_get_track_lsn(m_cdio, t + 1) : m_toc.leadoutLsn;
        if (track.firstLsn == CDIO_INVALID_LSN || next == CDIO_INVALID_LSN || next < track.firstLsn)
            return false;
        // The last track of an audio session ends where the next starts; libcdio's own end
        // excludes the gap before a following data session.
        const lsn_t last = cdio_get_track_last_lsn(m_cdio, t);
        track.sectors = (last != CDIO_INVALID_LSN && last < next ? last + 1 : next) - track.firstLsn;
        track.audio = cdio_get_track_format(m_cdio, t) == TRACK_FORMAT_AUDIO;
        m_toc.tracks.push_back(track);
    }
    return true;
}

CdText CdDisc::cdText() const
{
    if (m_image)
        return m_image->text;
    if (m_simulation)
        return m_simulation->layout().text;
    const cdtext_t *text = cdio_get_cdtext(m_cdio);
    CdText result;
    result.artist = cdTextField(text, CDTEXT_FIELD_PERFORMER, 0);
    result.album = cdTextField(text, CDTEXT_FIELD_TITLE, 0);
    for (const CdTocTrack &track : m_toc.tracks)
        result.titles.append(cdTextField(text, CDTEXT_FIELD_TITLE, track_t(track.number)));
    return result;
}

void CdDisc::setSpeed(int speed) const
{
    if (m_cdio && speed > 0)
        cdio_set_speed(m_cdio, speed);
}
