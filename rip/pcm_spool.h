#pragma once

#include "codec/sample_block.h"

#include <QString>
#include <QTemporaryFile>
#include <memory>

// A track's samples in a temporary file: written block by block while the disc is read, then
// read back block by block for encoding, so that the disc is read once and the whole track's
// peak is known before anything is encoded. Memory stays flat for any track length. The file
// is made in the given folder, or in the user's cache folder when that fails, and is removed
// when the spool is destroyed, whatever ended the track (Stop, an error, an exception).
class PcmSpool {
public:
    // False when no temporary file could be made in either place.
    bool open(const QString &directory);
    QString path() const;
    bool append(const SampleBlock &block);
    // Back to the start for reading; false on a write or seek failure.
    bool rewind();
    // The next block of at most `elements` samples; empty at the end or on a read failure.
    SampleBlock read(int elements);
    qint64 frames() const { return m_frames; }

private:
    bool openIn(const QString &directory);

    std::unique_ptr<QTemporaryFile> m_file;
    int m_rate = 44100;
    int m_channels = 2;
    qint64 m_frames = 0;
};
