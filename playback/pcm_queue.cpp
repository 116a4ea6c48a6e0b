#include "playback/pcm_queue.h"

#include <QMutexLocker>
#include <cstring>

PcmQueue::PcmQueue(std::function<void()> onBlockConsumed)
    : m_onBlockConsumed(std::move(onBlockConsumed))
{
}

void PcmQueue::append(const SampleBlock &block)
{
    QMutexLocker lock(&m_mutex);
    if (m_endQueued)
        return;
    if (block.isEmpty()) {
        m_endQueued = true;
        return;
    }
    const auto bytes = qsizetype(block.samples.size() * sizeof(int16_t));
    m_blocks.emplace_back(reinterpret_cast<const char *>(block.samples.data()), bytes);
    m_available += bytes;
}

void PcmQueue::clear()
{
    QMutexLocker lock(&m_mutex);
    m_blocks.clear();
    m_offset = 0;
    m_available = 0;
    m_endQueued = false;
}

bool PcmQueue::drained() const
{
    QMutexLocker lock(&m_mutex);
    return m_endQueued && m_blocks.empty();
}

qint64 PcmQueue::bytesAvailable() const
{
    QMutexLocker lock(&m_mutex);
    return m_available + QIODevice::bytesAvailable();
}

qint64 PcmQueue::readData(char *data, qint64 maxSize)
{
    int consumed = 0;
    qint64 copied = 0;
    {
        QMutexLocker lock(&m_mutex);
        while (copied < maxSize && !m_blocks.empty()) {
            const QByteArray &front = m_blocks.front();
            const qint64 chunk = std::min<qint64>(maxSize - copied, front.size() - m_offset);
            std::memcpy(data + copied, front.constData() + m_offset, size_t(chunk));
            copied += chunk;
            m_offset += chunk;
            if (m_offset == front.size()) {
                m_blocks.pop_front();
                m_offset = 0;
                ++consumed;
            }
        }
        m_available -= copied;
    }
    for (int i = 0; i < consumed; ++i)
        m_onBlockConsumed();
    return copied;
}
