#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <optional>

class QIODevice;

// The .skn skin file: the 45 slot bitmaps as complete Windows BMP images back to back, then a
// trailer of 100 records of two little-endian 32-bit words, A(r) and S(r). A(0) must be 0 and
// S(0)..S(44) are the byte sizes of the bitmaps. Reading never changes anything outside:
// either all 45 bitmaps decode or the caller gets the reason and no pictures.
//
// A skin may also carry its pictures at twice the size, for screens at 200 %: 45 more BMP
// images right after the first 45, whose sizes are S(45)..S(89) (their A words hold their
// offsets). Readers that know only the first 45 ignore records 45 to 99 and the bytes before
// the trailer, so such a skin loads everywhere; a skin whose records 45 on are zero (every
// older one) simply has no large pictures, and a large set that does not decode, or is not
// exactly twice each picture's size, is left out rather than refusing the skin.
class SkinFile {
public:
    static constexpr int SlotCount = 45;
    static constexpr int RecordCount = 100;
    static constexpr qint64 TrailerSize = 8 * RecordCount;
    // No face or control needs a bigger picture; a few bytes of RLE can claim far more.
    static constexpr int MaxPictureSide = 2048;

    enum class Error {
        None,
        CannotOpen, // missing or unreadable file
        TooShort,   // shorter than its trailer
        NotSkin,    // A(0) is not 0
        BadSize,    // a size of 0 or less, or sizes beyond the end of the trailer's start
        BadBitmap,  // a slot that is not a decodable BMP image
        TooLarge,   // a slot whose header claims a picture larger than any face needs
    };
    using Images = std::array<QImage, SlotCount>;

    struct Result {
        Error error = Error::CannotOpen;
        Images images;
        std::optional<Images> doubleImages; // the pictures at twice the size, when carried
        bool ok() const { return error == Error::None; }
    };

    // Each reader decodes the large pictures only `withDouble` (a screen that shows them).
    // The skin that fills a whole file.
    static Result readFile(const QString &path, bool withDouble = true);
    // The skin that fills the last `size` bytes of a file (a skin appended to an executable).
    static Result readTail(const QString &path, qint64 size, bool withDouble = true);
    // A skin held in memory.
    static Result fromData(const QByteArray &data, bool withDouble = true);
    // The skin stored in `length` bytes of an open random-access device, starting at `base`.
    static Result read(QIODevice &device, qint64 base, qint64 length, bool withDouble = true);

    // The file image of a skin: each slot as a 24-bit BMP, then the trailer, whose A(r) words
    // hold each slot's offset (0 for the first). With `doubleImages`, their BMPs follow and
    // records 45 to 89 describe them; otherwise records 45 to 99 are zero.
    static QByteArray encode(const Images &images, const Images *doubleImages = nullptr);
    static bool writeFile(const QString &path, const Images &images,
                          const Images *doubleImages = nullptr);
    // One image as a complete 24-bit Windows BMP file image.
    static QByteArray bmpImage(const QImage &image);
};
