#include "skin/base/skin_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QtEndian>

namespace {

using Sizes = std::array<qint64, SkinFile::SlotCount>;

struct Trailer {
    qint32 a0 = 0;
    Sizes sizes{};
    Sizes doubleSizes{}; // records 45 to 89
};

Trailer parseTrailer(const QByteArray &bytes)
{
    Trailer t;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    t.a0 = qFromLittleEndian<qint32>(p);
    for (int r = 0; r < SkinFile::SlotCount; ++r) {
        t.sizes[r] = qFromLittleEndian<qint32>(p + 8 * r + 4);
        t.doubleSizes[r] = qFromLittleEndian<qint32>(p + 8 * (SkinFile::SlotCount + r) + 4);
    }
    return t;
}

// Every size positive and all of them within `room`; their sum in `total`.
bool sizesFit(const Sizes &sizes, qint64 room, qint64 *total)
{
    *total = 0;
    for (qint64 s : sizes) {
        if (s <= 0)
            return false;
        *total += s;
    }
    return *total <= room;
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

// Reads and decodes one set of 45 pictures from the device's position.
SkinFile::Error readSet(QIODevice &device, const Sizes &sizes, SkinFile::Images &images)
{
    for (int slot = 0; slot < SkinFile::SlotCount; ++slot) {
        const QByteArray bytes = device.read(sizes[slot]);
        if (bytes.size() != sizes[slot])
            return SkinFile::Error::TooShort;
        const SkinFile::Error error = decodeSlot(bytes, images[slot]);
        if (error != SkinFile::Error::None)
            return error;
    }
    return SkinFile::Error::None;
}

// The large set, when the trailer describes one that fits and each picture is twice its
// standard picture's size.
std::optional<SkinFile::Images> readDoubleSet(QIODevice &device, const Trailer &trailer, qint64 room,
                                              const SkinFile::Images &standard)
{
    qint64 total = 0;
    SkinFile::Images images;
    if (!sizesFit(trailer.doubleSizes, room, &total) ||
        readSet(device, trailer.doubleSizes, images) != SkinFile::Error::None)
        return std::nullopt;
    for (int slot = 0; slot < SkinFile::SlotCount; ++slot) {
        if (images[slot].size() != standard[slot].size() * 2)
            return std::nullopt;
    }
    return images;
}

} // namespace

SkinFile::Result SkinFile::readFile(const QString &path, bool withDouble)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Error::CannotOpen);
    return read(file, 0, file.size(), withDouble);
}

SkinFile::Result SkinFile::readTail(const QString &path, qint64 size, bool withDouble)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Error::CannotOpen);
    if (file.size() < size)
        return failure(Error::TooShort);
    return read(file, file.size() - size, size, withDouble);
}

SkinFile::Result SkinFile::fromData(const QByteArray &data, bool withDouble)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, 0, data.size(), withDouble);
}

SkinFile::Result SkinFile::read(QIODevice &device, qint64 base, qint64 length, bool withDouble)
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
    qint64 standardBytes = 0;
    if (!sizesFit(trailer.sizes, length - TrailerSize, &standardBytes))
        return failure(Error::BadSize);

    Result result;
    device.seek(base);
    const Error error = readSet(device, trailer.sizes, result.images);
    if (error != Error::None)
        return failure(error);
    if (withDouble)
        result.doubleImages =
            readDoubleSet(device, trailer, length - TrailerSize - standardBytes, result.images);
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

QByteArray SkinFile::encode(const Images &images, const Images *doubleImages)
{
    QByteArray out;
    QByteArray trailer(TrailerSize, '\0');
    auto *records = reinterpret_cast<uchar *>(trailer.data());
    auto add = [&](const QImage &image, int record) {
        const QByteArray bmp = bmpImage(image);
        qToLittleEndian<qint32>(static_cast<qint32>(out.size()), records + 8 * record);
        qToLittleEndian<qint32>(static_cast<qint32>(bmp.size()), records + 8 * record + 4);
        out += bmp;
    };
    for (int slot = 0; slot < SlotCount; ++slot)
        add(images[slot], slot);
    for (int slot = 0; doubleImages && slot < SlotCount; ++slot)
        add((*doubleImages)[slot], SlotCount + slot);
    return out + trailer;
}

bool SkinFile::writeFile(const QString &path, const Images &images, const Images *doubleImages)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(encode(images, doubleImages));
    return file.commit();
}
