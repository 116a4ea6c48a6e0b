#include "tags/album_gain.h"

#include "tags/audio_information.h"
#include "tags/tag_saving.h"

#include <QFileInfo>

bool holdsReplayGain(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) != 0;
}

bool tagTrackGain(const QString &path, const std::optional<LoudnessValues> &track)
{
    if (!track || !holdsReplayGain(path))
        return true;
    const DecodedAudio before = decodeAudio(path);
    AudioInformation info;
    info.savedFields = 0;
    info.extra.trackGain = track;
    return before.complete && saveTagsChecked(info, path, 2, before) == TagSave::Saved;
}

void AlbumGain::keep(const QString &path, LoudnessMeter &&track)
{
    if (!holdsReplayGain(path))
        return;
    const std::lock_guard lock(m_mutex);
    m_tracks.push_back(std::move(track));
    m_paths.append(path);
}

std::optional<LoudnessValues> AlbumGain::values() const
{
    const std::lock_guard lock(m_mutex);
    std::vector<const LoudnessMeter *> meters;
    for (const LoudnessMeter &track : m_tracks)
        meters.push_back(&track);
    return LoudnessMeter::together(meters);
}

QList<AlbumGain::Failure> AlbumGain::tagFiles() const
{
    QList<Failure> failures;
    const std::optional<LoudnessValues> album = values();
    if (!album)
        return failures;
    AudioInformation info;
    info.savedFields = 0; // the album's values alone; every other tag stays
    info.infoGenre = -1;
    info.extra.albumGain = album;
    const std::lock_guard lock(m_mutex);
    for (const QString &path : m_paths) {
        if (const std::optional<QString> failure = tagFileThroughCopy(info, path))
            failures.append({path, *failure});
    }
    return failures;
}
