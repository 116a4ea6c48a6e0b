#include "rip/rip_loudness.h"

#include "rip/written_audio.h"

RipLoudness::RipLoudness(const IniFile &ini) : m_mode(replayGainMode(ini)) {}

void RipLoudness::startTrack(const QString &path)
{
    m_track = LoudnessMeter();
    m_measured = m_mode != ReplayGainMode::None && holdsReplayGain(path);
}

void RipLoudness::add(const SampleBlock &block)
{
    if (m_measured)
        m_track.add(block);
}

void RipLoudness::describe(WrittenAudio &written) const
{
    written.trackGainOn = m_measured;
    written.albumGainOn = m_measured && m_mode == ReplayGainMode::Album;
    written.trackGain = trackValues();
}

std::optional<LoudnessValues> RipLoudness::trackValues() const
{
    return m_measured ? m_track.values() : std::nullopt;
}

void RipLoudness::keepTrack(const QString &path)
{
    if (m_measured && m_mode == ReplayGainMode::Album)
        m_album.keep(path, std::move(m_track));
    m_track = LoudnessMeter();
}

QList<AlbumGain::Failure> RipLoudness::tagAlbum()
{
    return m_mode == ReplayGainMode::Album ? m_album.tagFiles() : QList<AlbumGain::Failure>();
}

std::optional<LoudnessValues> RipLoudness::albumValues() const
{
    return m_mode == ReplayGainMode::Album ? m_album.values() : std::nullopt;
}
