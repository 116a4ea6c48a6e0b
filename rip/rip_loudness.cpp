#include "rip/rip_loudness.h"

#include "rip/written_audio.h"

RipLoudness::RipLoudness(const IniFile &ini) : m_mode(replayGainMode(ini)) {}

TrackLoudness RipLoudness::startTrack(const QString &path) const
{
    TrackLoudness track;
    track.measured = m_mode != ReplayGainMode::None && holdsReplayGain(path);
    return track;
}

void RipLoudness::describe(const TrackLoudness &track, WrittenAudio &written) const
{
    written.trackGainOn = track.measured;
    written.albumGainOn = track.measured && m_mode == ReplayGainMode::Album;
    written.trackGain = track.values();
}

void RipLoudness::keepTrack(const QString &path, TrackLoudness &&track)
{
    if (track.measured && m_mode == ReplayGainMode::Album)
        m_album.keep(path, std::move(track.meter));
}

QList<AlbumGain::Failure> RipLoudness::tagAlbum()
{
    return m_mode == ReplayGainMode::Album ? m_album.tagFiles() : QList<AlbumGain::Failure>();
}

std::optional<LoudnessValues> RipLoudness::albumValues() const
{
    return m_mode == ReplayGainMode::Album ? m_album.values() : std::nullopt;
}
