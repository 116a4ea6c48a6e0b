#pragma once

#include "codec/sample_block.h"

#include <QByteArray>
#include <QIODevice>
#include <QMutex>
#include <deque>
#include <functional>

// The player's queue of blocks, read by the audio output as a byte stream. An empty block
// marks the end: blocks queued after it are ignored until clear(). The output may read from
// another thread; `onBlockConsumed` then runs on that thread.
class PcmQueue : public QIODevice {
public:
    explicit PcmQueue(std::function<void()> onBlockConsumed);

    void append(const SampleBlock &block);
    void clear();
    // The end was queued and every byte before it has been read.
    bool drained() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    mutable QMutex m_mutex;
    std::deque<QByteArray> m_blocks;
    qsizetype m_offset = 0; // into the front block
    qint64 m_available = 0;
    bool m_endQueued = false;
    std::function<void()> m_onBlockConsumed;
};
