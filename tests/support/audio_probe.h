#pragma once

#include <QMap>
#include <QString>
#include <cstdint>
#include <vector>

// What an independent reader (ffprobe, ffmpeg) sees in an audio file.
struct ProbeResult {
    bool ok = false;
    QString codec;
    int rate = 0;
    int channels = 0;
    double seconds = 0;
    int64_t bitRate = 0;         // bit/s of the stream, or of the file when the stream has none
    QMap<QString, QString> tags; // keys in lower case, format and stream tags together
};

ProbeResult probeAudio(const QString &path);

// The tags of an MP3, Ogg Vorbis or WMA file as python3-mutagen reads them (read_tags.py says
// how they are named); empty when the file cannot be read.
QMap<QString, QString> mutagenTags(const QString &path);
// "<mime type> <SHA-1 of the bytes> type 3": a front cover as mutagenTags shows it.
QString frontCoverText(const QString &mimeType, const QByteArray &bytes);

// The file decoded by ffmpeg to interleaved 16-bit samples at its own rate and channels.
std::vector<int16_t> decodeWithFfmpeg(const QString &path);

// The integrated loudness (LUFS) of one file or of several played one after another, as
// ffmpeg's own R128 meter finds it (its ebur128 filter); NaN when ffmpeg fails.
double ffmpegLoudness(const QStringList &paths);

// "-6.52 dB", a ReplayGain tag's gain, as a number; NaN when it is not in that form.
double replayGainDb(const QString &text);

// Normalised cross-correlation of one channel of two interleaved signals, at the best lag
// within +-maxLag frames; 1.0 means the same waveform.
double bestCorrelation(const std::vector<int16_t> &a, const std::vector<int16_t> &b, int channels,
                       int channel, int maxLag);
