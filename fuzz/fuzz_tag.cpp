// Tagging as `harvelo-cli tag` does it, on any bytes: the first byte picks the file type, the
// rest is the file. Whatever TagLib makes of the sizes a file declares, a tagged file decodes
// exactly as before, and a refused one is left byte for byte as it was.
#include "fuzz/fuzz_support.h"
#include "jobs/part_file.h"
#include "tags/audio_information.h"
#include "tags/tag_saving.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool partFileLeft(const QString &path)
{
    const QStringList names = QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden);
    return std::any_of(names.begin(), names.end(), PartFile::isPartName);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    fuzz::ensureApplication();
    static const char *const types[] = {"mp3", "ogg", "wma", "wav", "flac", "opus"};
    const QString path = fuzz::writeInput(QStringLiteral("input.") + QLatin1String(types[data[0] % 6]),
                                          data + 1, size - 1);
    const QByteArray original = fuzz::bytes(data + 1, size - 1);
    const DecodedAudio before = decodeAudio(path);

    AudioInformation info;
    info.infoTitle = QStringLiteral("A title long enough to move what follows the tag");
    info.infoArtist = QStringLiteral("Artist");
    info.infoAlbum = QStringLiteral("Album");
    info.infoGenre = 17;
    info.infoTrack = 3;
    if (tagFileThroughCopy(info, path)) {
        if (contents(path) != original)
            fuzz::fail("a refused tagging changed the file");
    } else if (!before.complete || decodeAudio(path) != before) {
        fuzz::fail("tagging changed the audio");
    }
    if (partFileLeft(path))
        fuzz::fail("a part file was left behind");
    return 0;
}
