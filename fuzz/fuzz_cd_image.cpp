// A cue sheet and a cdrdao .toc file, read by our own image readers, then the first and last
// sector of every track read from the files the image names.
#include "disc/image/cd_image.h"
#include "fuzz/fuzz_support.h"

#include <vector>

namespace {

constexpr int kSectorBytes = 2352;
constexpr int kSectors = 20;

// A folder with a short raw file and a short WAV, under the names the seed images use, so that
// the readers get past their file checks.
QString imageFolder()
{
    static const QString folder = [] {
        const QByteArray raw(kSectorBytes * kSectors, '\x11');
        const QByteArray wav = fuzz::wavHeader(quint32(raw.size())) + raw;
        fuzz::writeInput(QStringLiteral("image.wav"), reinterpret_cast<const uint8_t *>(wav.constData()),
                         size_t(wav.size()));
        const QString bin = fuzz::writeInput(QStringLiteral("image.bin"),
                                             reinterpret_cast<const uint8_t *>(raw.constData()),
                                             size_t(raw.size()));
        return bin.left(bin.lastIndexOf(QLatin1Char('/')));
    }();
    return folder;
}

void readSectors(const CdImageLayout &layout)
{
    CdImageReader reader(layout);
    std::vector<int16_t> sector(1176);
    for (const CdTocTrack &track : layout.toc.tracks) {
        reader.readSector(track.firstLsn, sector.data());
        reader.readSector(track.firstLsn + track.sectors - 1, sector.data());
    }
    if (layout.codes.isrcs.size() != qsizetype(layout.toc.tracks.size())
        || layout.codes.pregapSectors.size() != qsizetype(layout.toc.tracks.size()))
        fuzz::fail("an ISRC or pregap list that does not match the tracks");
    // The disc IDs take the first and last numbers as a disc's: 1 to 99, one after the other.
    for (size_t i = 0; i < layout.toc.tracks.size(); ++i) {
        const int number = layout.toc.tracks[i].number;
        if (number < 1 || number > 99 || (i > 0 && number != layout.toc.tracks[i - 1].number + 1))
            fuzz::fail("track numbers that are no disc's");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    const QByteArray text = fuzz::bytes(data, size);
    QString error;
    if (const auto cue = readCueSheet(text, imageFolder(), &error))
        readSectors(*cue);
    if (const auto toc = readTocFile(text, imageFolder(), &error))
        readSectors(*toc);
    return 0;
}
