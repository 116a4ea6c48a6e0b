#include "convert/conversion_figures.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

QString megabytes(double bytes)
{
    return QString::number(bytes / 1024.0 / 1024.0, 'f', 2) + QStringLiteral("MB");
}

QString conversionTarget(const QString &source, const QString &outputDir, const QString &suffix)
{
    QString name = QFileInfo(source).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return QDir(outputDir).filePath(name + suffix);
}

ConversionProgress::ConversionProgress(int64_t sampleCount, int samplesPerFrame, int channels)
    : m_sampleCount(std::max<int64_t>(sampleCount, 0)),
      m_samplesPerFrame(samplesPerFrame > 0 ? samplesPerFrame : std::max(channels, 1))
{
}

void ConversionProgress::add(int elements)
{
    m_frames += elements / m_samplesPerFrame;
    if (m_sampleCount > 0) {
        m_frames = std::min(m_frames, m_sampleCount);
        m_percent = int(m_frames * 100 / m_sampleCount);
    }
}

QString ConversionProgress::amount() const
{
    return megabytes(double(m_frames) * 4.0);
}
