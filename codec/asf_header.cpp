#include "codec/asf_header.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace {

constexpr unsigned char kHeaderGuid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                           0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr unsigned char kFilePropertiesGuid[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                   0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr qint64 kHeaderFixed = kAsfHeaderFieldBytes;
constexpr qint64 kObjectFixed = 24;         // GUID, size
constexpr qint64 kFilePropertiesSize = 104;
constexpr quint32 kMaxObjects = 4096;       // far more than any header holds

quint64 le64(const QByteArray &bytes, int at) { return qFromLittleEndian<quint64>(bytes.constData() + at); }
quint32 le32(const QByteArray &bytes, int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

bool isGuid(const QByteArray &bytes, const unsigned char (&guid)[16])
{
    return bytes.size() >= 16 && std::memcmp(bytes.constData(), guid, 16) == 0;
}

std::optional<int64_t> playMilliseconds(const QByteArray &properties)
{
    if (le32(properties, 88) & 1)
        return std::nullopt; // broadcast: the durations are not filled in
    const quint64 playTime = le64(properties, 64); // 100 ns units
    const quint32 preroll = le32(properties, 80);  // ms
    const int64_t ms = int64_t(playTime / 10000) - int64_t(preroll);
    return ms > 0 ? std::optional<int64_t>(ms) : std::nullopt;
}

// The header object's own fields, from the start of an open file; empty when it is no ASF.
std::optional<QByteArray> headerFields(QFile &file)
{
    const QByteArray header = file.read(kHeaderFixed);
    if (header.size() < kHeaderFixed || !isGuid(header, kHeaderGuid))
        return std::nullopt;
    return header;
}

} // namespace

std::optional<quint64> asfDeclaredHeaderSize(const QString &path)
{
    QFile file(path);
    const std::optional<QByteArray> header = file.open(QIODevice::ReadOnly) ? headerFields(file) : std::nullopt;
    return header ? std::optional<quint64>(le64(*header, 16)) : std::nullopt;
}

std::optional<int64_t> asfPlayMilliseconds(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<QByteArray> fields = headerFields(file);
    if (!fields)
        return std::nullopt;
    const QByteArray &header = *fields;
    const qint64 headerEnd = qint64(std::min<quint64>(le64(header, 16), quint64(file.size())));
    const quint32 objects = std::min(le32(header, 24), kMaxObjects);
    qint64 at = kHeaderFixed;
    for (quint32 i = 0; i < objects && at + kObjectFixed <= headerEnd; ++i) {
        if (!file.seek(at))
            return std::nullopt;
        const QByteArray object = file.read(kObjectFixed);
        const quint64 size = object.size() == kObjectFixed ? le64(object, 16) : 0;
        if (size < quint64(kObjectFixed) || size > quint64(headerEnd - at))
            return std::nullopt;
        if (isGuid(object, kFilePropertiesGuid) && size >= quint64(kFilePropertiesSize)) {
            const QByteArray properties = object + file.read(kFilePropertiesSize - kObjectFixed);
            if (properties.size() < kFilePropertiesSize)
                return std::nullopt;
            return playMilliseconds(properties);
        }
        at += qint64(size);
    }
    return std::nullopt;
}
