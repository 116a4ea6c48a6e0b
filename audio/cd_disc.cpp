#include "audio/cd_disc.h"

#include "audio/cdio_log.h"
#include "audio/text_decoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>

namespace {

// The file named by the sheet's first FILE line, relative to the sheet's directory.
QString cueDataFile(const QString &cuePath)
{
    QFile file(cuePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression fileLine(
        QStringLiteral("^\\s*FILE\\s+(?:\"([^\"]*)\"|(\\S+))\\s+\\S+\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    while (!file.atEnd()) {
        const auto match = fileLine.match(QString::fromUtf8(file.readLine()).trimmed());
        if (match.hasMatch()) {
            const QString name = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
            return QFileInfo(cuePath).dir().absoluteFilePath(name);
        }
    }
    return {};
}

// libcdio reads the sheet's own name with .bin whatever the FILE line says.
QString binNameLibcdioUses(const QString &cuePath)
{
    char *bin = cdio_is_cuefile(QFile::encodeName(cuePath).constData());
    if (!bin)
        return {};
    const QString name = QFile::decodeName(bin);
    cdio_free(bin);
    return QFileInfo(name).absoluteFilePath();
}

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

CdIo_t *openImage(const QString &path, std::unique_ptr<QTemporaryDir> &links)
{
    if (!path.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive))
        return cdio_open(QFile::encodeName(path).constData(), DRIVER_UNKNOWN);
    const QString data = cueDataFile(path);
    if (data.isEmpty() || sameFile(data, binNameLibcdioUses(path)))
        return cdio_open_cue(QFile::encodeName(path).constData());
    links = std::make_unique<QTemporaryDir>();
    const QDir dir(links->path());
    if (!QFile::link(QFileInfo(path).absoluteFilePath(), dir.filePath(QStringLiteral("disc.cue")))
        || !QFile::link(data, dir.filePath(QStringLiteral("disc.bin"))))
        return nullptr;
    return cdio_open_cue(QFile::encodeName(dir.filePath(QStringLiteral("disc.cue"))).constData());
}

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

} // namespace

std::unique_ptr<CdDisc> CdDisc::open(const QString &source)
{
    installCdioLogHandler();
    if (source.isEmpty())
        return nullptr;
    const bool image = QFileInfo(source).isFile();
    std::unique_ptr<QTemporaryDir> links;
    CdIo_t *cdio = image ? openImage(source, links)
                         : cdio_open(QFile::encodeName(source).constData(), DRIVER_DEVICE);
    if (!cdio)
        return nullptr;
    std::unique_ptr<CdDisc> disc(new CdDisc(cdio, image, std::move(links)));
    if (!disc->readToc())
        return nullptr;
    return disc;
}

CdDisc::CdDisc(CdIo_t *cdio, bool image, std::unique_ptr<QTemporaryDir> links)
    : m_cdio(cdio), m_image(image), m_links(std::move(links))
{
}

CdDisc::~CdDisc()
{
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
    if (!m_image && speed > 0)
        cdio_set_speed(m_cdio, speed);
}
