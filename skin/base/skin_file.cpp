#include "skin/base/skin_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QtEndian>

namespace {

struct Trailer {
    qint32 a0 = 0;
    std::array<qint64, SkinFile::SlotCount> sizes{};
};

Trailer parseTrailer(const QByteArray &bytes)
{
    Trailer t;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    t.a0 = qFromLittleEndian<qint32>(p);
    for (int r = 0; r < SkinFile::SlotCount; ++r)
        t.sizes[r] = qFromLittleEndian<qint32>(p + 8 * r + 4);
    return t;
}

// Every size positive and all of them within the part before the trailer.
bool sizesFit(const Trailer &t, qint64 room)
{
    qint64 total = 0;
    for (qint64 s : t.sizes) {
        if (s <= 0)
            return false;
        total += s;
    }
    return total <= room;
}

// Decodes one slot, after reading its size from the header: a compressed bitmap of a few bytes
// can claim a picture of gigabytes, so the size is checked before any pixel is allocated.
SkinFile::Error decodeSlot(const QByteArray &bytes, QImage &image)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    const QSize size = reader.size();
    if (!size.isValid())
        return SkinFile::Error::BadBitmap;
    if (size.width() > SkinFile::MaxPictureSide || size.height() > SkinFile::MaxPictureSide)
        return SkinFile::Error::TooLarge;
    image = reader.read();
    return image.isNull() ? SkinFile::Error::BadBitmap : SkinFile::Error::None;
}

SkinFile::Result failure(SkinFile::Error error)
{
    SkinFile::Result r;
    r.error = error;
    return r;
}

} // namespace

SkinFile::Result SkinFile::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Error::CannotOpen);
    return read(file, 0, file.size());
}

SkinFile::Result SkinFile::readTail(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Error::CannotOpen);
    if (file.size() < size)
        return failure(Error::TooShort);
    return read(file, file.size() - size, size);
}

SkinFile::Result SkinFile::fromData(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, 0, data.size());
}

SkinFile::Result SkinFile::read(QIODevice &device, qint64 base, qint64 length)
{
    if (length < TrailerSize)
        return failure(Error::TooShort);
    if (!device.seek(base + length - TrailerSize))
        return failure(Error::TooShort);
    const QByteArray trailerBytes = device.read(TrailerSize);
    if (trailerBytes.size() != TrailerSize)
        return failure(Error::TooShort);
    const Trailer trailer = parseTrailer(trailerBytes);
    if (trailer.a0 != 0)
        return failure(Error::NotSkin);
    if (!sizesFit(trailer, length - TrailerSize))
        return failure(Error::BadSize);

    Result result;
    device.seek(base);
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QByteArray bytes = device.read(trailer.sizes[slot]);
        if (bytes.size() != trailer.sizes[slot])
            return failure(Error::TooShort);
        const Error error = decodeSlot(bytes, result.images[slot]);
        if (error != Error::None)
            return failure(error);
    }
    result.error = Error::None;
    return result;
}

QByteArray SkinFile::bmpImage(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
    return bytes;
}

QByteArray SkinFile::encode(const Images &images)
{
    QByteArray out;
    QByteArray trailer(TrailerSize, '\0');
    auto *records = reinterpret_cast<uchar *>(trailer.data());
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QByteArray bmp = bmpImage(images[slot]);
        qToLittleEndian<qint32>(static_cast<qint32>(out.size()), records + 8 * slot);
        qToLittleEndian<qint32>(static_cast<qint32>(bmp.size()), records + 8 * slot + 4);
        out += bmp;
    }
    return out + trailer;
}

bool SkinFile::writeFile(const QString &path, const Images &images)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(encode(images));
    return file.commit();
}
