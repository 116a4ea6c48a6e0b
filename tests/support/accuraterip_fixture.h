#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

struct AccurateRipDiscId;

// What tests hold against the rip's checksums, from outside Harvelo's code.
struct ReferenceSums {
    QString v1, v2, crc32; // 8 lower-case hex digits
    int peak = -1;
    bool ok() const { return peak >= 0; }
    quint32 v1Value() const { return v1.toUInt(nullptr, 16); }
    quint32 v2Value() const { return v2.toUInt(nullptr, 16); }
};

// The checksums of `frames` stereo frames at `byteOffset` of a raw little-endian file, by the
// Python reference (tests/support/accuraterip_reference.py, written from the published
// descriptions; CRC32 by Python's zlib).
ReferenceSums referenceSums(const QString &file, qint64 byteOffset, qint64 frames, bool first, bool last);

// One pressing of a dBAR file as the AccurateRip server sends it: the disc's head, then per
// track a confidence and a checksum.
QByteArray dbarPressing(const AccurateRipDiscId &id, const QList<QPair<int, quint32>> &tracks);
