#pragma once

#include "tests/support/cd_image_fixture.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// Test signals whose loudness changes inside the file, for checking that normalization uses
// one gain for the whole file. All are stereo 44100 Hz, the same tone on both channels.
enum class LevelShape {
    ClickTone,     // 10 s of a tone at peak 0.126 with one 2 ms click at full scale at 5 s
    FadeIn,        // 8 s fading in linearly from silence to peak 0.5
    QuietThenLoud, // 4 s at peak 0.05, then 4 s 20 dB louder
    Steady26,      // 4 s of a tone at -26 dBFS
};

Q_DECLARE_METATYPE(LevelShape)

std::vector<int16_t> levelSignal(LevelShape shape);

// The largest difference, in dB, between the gains (output level over input level, RMS of
// channel 0) of any two windows of a quarter second. Windows whose input is quieter than
// -40 dBFS or not tone-like (a click inside) are left out. Lossy outputs keep the encoder's
// delay trimmed (as ffmpeg decodes them), so the windows line up.
double gainSpreadDb(const std::vector<int16_t> &in, int inChannels,
                    const std::vector<int16_t> &out, int outChannels);

// The highest absolute sample as a fraction of full scale.
double peakLevel(const std::vector<int16_t> &samples);

// An ASF file whose stream changes format part-way, as a fuzzed file did: one second of MP3
// frames at 44100 Hz stereo, then one second made with the ffmpeg options `second` (for
// example -ac 1). ASF's header gives the first format. False when ffmpeg fails.
bool makeFormatChangingAsf(const QString &path, const QStringList &second);

// Files whose declared sizes lie, as users have them: every reader decodes them whole, but a
// tagger that trusts the sizes cuts audio away.
enum class SizeLie {
    None,            // an honest file
    Id3v2BadVersion, // MP3 behind an ID3v2 header with version bytes FF FF, claiming half the file
    AsfHugeHeader,   // WMA whose ASF header object claims 4 GB
    AsfShortHeader,  // WMA whose ASF header object claims 20 bytes, fewer than its own fields
};
Q_DECLARE_METATYPE(SizeLie)

// An MP3 or WMA file's bytes with the lie told.
QByteArray withSizeLie(QByteArray file, SizeLie lie);

// Two seconds of a stereo tone, encoded by ffmpeg (.mp3 or .wma by the extension) and then
// given the lie. False when ffmpeg fails.
bool writeLyingFile(const QString &path, SizeLie lie);

// makeCdImage with the given audio: `audio` fills the two samples of a frame of a 1-based track.
QString makeCdImageOf(const std::function<void(int track, int64_t frame, int16_t *samples)> &audio,
                      const QString &dir, const QList<CdImageTrack> &tracks,
                      const QString &artist = {}, const QString &album = {},
                      const CdImageOptions &options = {});
