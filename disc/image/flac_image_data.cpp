// FLAC files named by a cue sheet: their audio is decoded while it is read (CdImageReader), so
// the sheet reader needs only the stream's format and length, which the header gives.
#include "disc/image/cd_image.h"

#include <FLAC/metadata.h>
#include <QFile>
#include <QFileInfo>

bool isFlacImageFile(const QString &path, const QByteArray &type)
{
    if (type == "FLAC" || QFileInfo(path).suffix().compare(QLatin1String("flac"), Qt::CaseInsensitive) == 0)
        return true;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "fLaC";
}

std::optional<WavData> locateFlacData(const QString &path, QString *error)
{
    const QString name = QFileInfo(path).fileName();
    FLAC__StreamMetadata info;
    if (!FLAC__metadata_get_streaminfo(QFile::encodeName(path).constData(), &info)) {
        *error = QStringLiteral("%1 is not a FLAC file").arg(name);
        return std::nullopt;
    }
    const FLAC__StreamMetadata_StreamInfo &stream = info.data.stream_info;
    if (stream.sample_rate != 44100 || stream.channels != 2 || stream.bits_per_sample != 16) {
        *error = QStringLiteral("%1 is not 16-bit stereo 44.1 kHz audio").arg(name);
        return std::nullopt;
    }
    // A streamed file that never learned its length cannot be laid out on a disc.
    if (stream.total_samples == 0) {
        *error = QStringLiteral("%1 holds no audio data").arg(name);
        return std::nullopt;
    }
    return WavData{0, int64_t(stream.total_samples) * 4};
}
