#include "rip/rip_job.h"

#include "jobs/job_control.h"
#include "jobs/part_file.h"
#include "rip/rip_loudness.h"
#include "rip/rip_proof.h"
#include "tags/audio_information.h"
#include "tags/tag_saving.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The tags of one row beyond the five properties: what the lookup found of the disc and of
// this track, and the album artist as the window shows it.
TagSet extraTags(const RipSnapshot &s, int row, bool withCover)
{
    const DiscNames &names = s.names;
    TagSet extra;
    extra.genre = s.genreText;
    extra.albumArtist = s.artist;
    extra.date = names.date;
    extra.trackTotal = names.trackTotal > 0 ? names.trackTotal : int(s.rows.size());
    extra.disc = names.discNumber;
    extra.discTotal = names.discTotal;
    extra.releaseId = names.musicBrainz.releaseId;
    extra.releaseGroupId = names.musicBrainz.releaseGroupId;
    extra.recordingId = names.musicBrainz.recordingIds.value(row - 1);
    extra.releaseTrackId = names.musicBrainz.trackIds.value(row - 1);
    if (withCover)
        extra.frontCover = {names.cover.bytes, names.cover.mimeType};
    return extra;
}

bool sameBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.size() == bytes.size() && file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

} // namespace

// The texts as the user sees them: a track shown as "Artist / Title" (a track with an artist of
// its own) is tagged with that artist and that title; every other row's name is its title and
// the artist field its artist. The file is the job's own until the commit: tagged in place, it
// must still decode exactly as the writer left it.
bool RipJob::saveTags(int row, const QString &path, AudioInformation &info, WrittenAudio &audio,
                      const TrackLoudness &loudness) const
{
    const DecodedAudio written = decodeAudio(path);
    // That reading also gives the CRC of the audio as the file holds it.
    if (audio.lossless && written.complete)
        audio.crc32 = written.crc32;
    const QString shown = m_snapshot.rows[row - 1].title;
    const ShownTitle name = m_snapshot.names.ownArtist(row - 1).isEmpty() ? ShownTitle{{}, shown}
                                                                          : splitShownTitle(shown);
    info.infoTitle = name.title;
    info.infoAlbum = m_snapshot.album;
    info.infoArtist = name.artist.isEmpty() ? m_snapshot.artist : name.artist;
    info.infoGenre = int16_t(m_snapshot.genre);
    info.infoTrack = int16_t(row);
    info.extra = extraTags(m_snapshot, row, m_coverArt);
    m_loudness->describe(loudness, audio);
    info.extra.trackGain = loudness.values();
    return saveTagsChecked(info, path, worker() ? 1 : 2, written) == TagSave::Saved;
}

// cover.jpg (or .png) in every folder that received a track of this rip. A file already
// holding the same picture stays; another is replaced only after the usual question.
void RipJob::saveCover()
{
    const CoverArt &cover = m_snapshot.names.cover;
    if (!m_coverArt || cover.isEmpty())
        return;
    QStringList folders;
    for (const RipTrackResult &result : m_results) {
        const QString folder = QFileInfo(result.path).absolutePath();
        if (result.outcome == RipTrackResult::Outcome::Saved && !folders.contains(folder))
            folders.append(folder);
    }
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(QStringLiteral("cover.") + cover.suffix());
        if (sameBytes(path, cover.bytes) || !mayWrite(path))
            continue;
        if (!writeWholeFile(path, cover.bytes))
            m_host.tell(QStringLiteral("File write error!"), QStringLiteral("Failed to write file ") + path);
    }
}

// The album's ReplayGain goes into the files already saved, once the last one is written. A
// rip cut short by Stop is no album: its files keep their track values only.
void RipJob::tagAlbumGain()
{
    if (m_control.stopRequested())
        return;
    for (const AlbumGain::Failure &failure : m_loudness->tagAlbum())
        m_host.tell(QStringLiteral("File write error!"), failure.message);
    m_proof->setAlbumGain(m_loudness->albumValues());
}
