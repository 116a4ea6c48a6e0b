#pragma once

#include "codec/loudness_meter.h"
#include "tags/album_gain.h"

class IniFile;
struct WrittenAudio;

// One track's loudness, measured from the blocks handed to its encoder. It travels with the
// track, to whichever thread encodes it.
struct TrackLoudness {
    bool measured = false;
    LoudnessMeter meter;
    void add(const SampleBlock &block)
    {
        if (measured)
            meter.add(block);
    }
    std::optional<LoudnessValues> values() const { return measured ? meter.values() : std::nullopt; }
};

// The ReplayGain of a rip, by "replaygain": each track measured from the blocks handed to its
// encoder (after any normalization: what the file holds), and the album from every saved track.
// The job feeds each track's blocks to its TrackLoudness and asks for the values when it tags;
// nothing is measured when it is "no".
class RipLoudness {
public:
    explicit RipLoudness(const IniFile &ini);

    // A fresh meter for the track about to be written to `path`; none for a WAV file, which
    // has no place for the values.
    TrackLoudness startTrack(const QString &path) const;
    // What the track's tags and its line in the log say.
    void describe(const TrackLoudness &track, WrittenAudio &written) const;
    // The track's file was saved: it counts in the album.
    void keepTrack(const QString &path, TrackLoudness &&track);
    // After the last track: the album's values, written into every saved file (album mode).
    // The messages of the files left as they were.
    QList<AlbumGain::Failure> tagAlbum();
    std::optional<LoudnessValues> albumValues() const;

private:
    ReplayGainMode m_mode;
    AlbumGain m_album;
};
