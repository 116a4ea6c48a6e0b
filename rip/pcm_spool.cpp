#include "rip/pcm_spool.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>

bool PcmSpool::open(const QString &directory)
{
    return openIn(directory)
        || openIn(QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
}

bool PcmSpool::openIn(const QString &directory)
{
    if (directory.isEmpty() || !QDir().mkpath(directory))
        return false;
    m_file = std::make_unique<QTemporaryFile>(
        QDir(directory).filePath(QStringLiteral(".harvelo-track-XXXXXX.pcm")));
    if (m_file->open())
        return true;
    m_file.reset();
    return false;
}

QString PcmSpool::path() const
{
    return m_file ? m_file->fileName() : QString();
}

bool PcmSpool::append(const SampleBlock &block)
{
    if (!m_file)
        return false;
    if (block.isEmpty())
        return true;
    m_rate = block.sampleRate;
    m_channels = std::max(block.channels, 1);
    const qint64 bytes = qint64(block.samples.size() * sizeof(int16_t));
    if (m_file->write(reinterpret_cast<const char *>(block.samples.data()), bytes) != bytes)
        return false;
    m_frames += block.frames();
    return true;
}

bool PcmSpool::rewind()
{
    return m_file && m_file->flush() && m_file->seek(0);
}

SampleBlock PcmSpool::read(int elements)
{
    std::vector<int16_t> samples(size_t(std::max(elements, 0)));
    const qint64 got = m_file ? m_file->read(reinterpret_cast<char *>(samples.data()),
                                             qint64(samples.size() * sizeof(int16_t)))
                              : -1;
    samples.resize(got > 0 ? size_t(got) / sizeof(int16_t) : 0);
    return SampleBlock(std::move(samples), m_rate, m_channels);
}
