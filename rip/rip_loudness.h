#pragma once

#include "codec/loudness_meter.h"
#include "tags/album_gain.h"

class IniFile;
struct WrittenAudio;

// The ReplayGain of a rip, by "replaygain": each track measured from the blocks handed to its
// encoder (after any normalization: what the file holds), and the album from every saved track.
// The job feeds it blocks and asks it for the values when it tags; nothing when it is "no".
class RipLoudness {
public:
    explicit RipLoudness(const IniFile &ini);

    // A fresh meter for the track about to be written to `path`; none for a WAV file, which
    // has no place for the values.
    void startTrack(const QString &path);
    void add(const SampleBlock &block);
    // What the track's tags and its line in the log say.
    void describe(WrittenAudio &written) const;
    std::optional<LoudnessValues> trackValues() const;
    // The track's file was saved: it counts in the album.
    void keepTrack(const QString &path);
    // After the last track: the album's values, written into every saved file (album mode).
    // The messages of the files left as they were.
    QList<AlbumGain::Failure> tagAlbum();
    std::optional<LoudnessValues> albumValues() const;

private:
    ReplayGainMode m_mode;
    bool m_measured = false; // this track is measured
    LoudnessMeter m_track;
    AlbumGain m_album;
};
