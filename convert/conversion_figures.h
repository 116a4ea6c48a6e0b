#pragma once

#include <QString>
#include <cstdint>

// "3.47MB": bytes in binary megabytes with two decimals.
QString megabytes(double bytes);

// The source's file name with its extension (from the last dot) replaced by `suffix`
// (".mp3", "_NOM.wav"...), in `outputDir`; a name without a dot gets the suffix appended.
QString conversionTarget(const QString &source, const QString &outputDir, const QString &suffix);

// Frames done of one input against its length. A length or frame size of 0 (unknown) never
// divides: the frames are then counted uncapped and the percentage waits for the input's end.
class ConversionProgress {
public:
    ConversionProgress(int64_t sampleCount, int samplesPerFrame, int channels);
    void add(int elements);
    void finish() { m_percent = 100; }
    int percent() const { return m_percent; }
    int64_t frames() const { return m_frames; }
    // The 16-bit stereo data consumed so far, as "MB".
    QString amount() const;

private:
    int64_t m_sampleCount;
    int m_samplesPerFrame;
    int64_t m_frames = 0;
    int m_percent = 0;
};
