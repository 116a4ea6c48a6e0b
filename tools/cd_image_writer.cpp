#include "tools/cd_image_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QtEndian>

namespace cdimage {
namespace {

QString msf(int64_t sector)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sector / 75 / 60, 2, 10, QLatin1Char('0'))
        .arg(sector / 75 % 60, 2, 10, QLatin1Char('0'))
        .arg(sector % 75, 2, 10, QLatin1Char('0'));
}

// CUE strings cannot escape a double quote.
QString quoted(const QString &text)
{
    QString clean = text;
    clean.replace(QLatin1Char('"'), QLatin1Char('\''));
    return QLatin1Char('"') + clean + QLatin1Char('"');
}

QString sheetText(const Disc &disc, const QString &binName)
{
    QString text;
    QTextStream out(&text);
    if (!disc.artist.isEmpty())
        out << "PERFORMER " << quoted(disc.artist) << "\n";
    if (!disc.album.isEmpty())
        out << "TITLE " << quoted(disc.album) << "\n";
    out << "FILE " << quoted(binName) << " BINARY\n";
    int64_t sector = 0;
    for (size_t i = 0; i < disc.tracks.size(); ++i) {
        const Track &track = disc.tracks[i];
        out << QStringLiteral("  TRACK %1 %2\n")
                   .arg(i + 1, 2, 10, QLatin1Char('0'))
                   .arg(track.data ? QStringLiteral("MODE1/2352") : QStringLiteral("AUDIO"));
        if (!track.title.isEmpty())
            out << "    TITLE " << quoted(track.title) << "\n";
        if (track.pregapSectors > 0)
            out << "    INDEX 00 " << msf(sector) << "\n";
        sector += track.pregapSectors;
        out << "    INDEX 01 " << msf(sector) << "\n";
        sector += sectorsFor(track.frames);
    }
    return text;
}

bool writeAudio(QFile &bin, int trackNumber, const Track &track, const FrameSource &source)
{
    std::vector<int16_t> sector(kFramesPerSector * 2);
    const int64_t frames = sectorsFor(track.frames) * kFramesPerSector;
    for (int64_t first = 0; first < frames; first += kFramesPerSector) {
        for (int i = 0; i < kFramesPerSector; ++i) {
            int16_t frame[2] = {0, 0};
            if (!track.data)
                source(trackNumber, first + i, frame);
            sector[size_t(i) * 2] = qToLittleEndian(frame[0]);
            sector[size_t(i) * 2 + 1] = qToLittleEndian(frame[1]);
        }
        if (bin.write(reinterpret_cast<const char *>(sector.data()), kBytesPerSector)
            != kBytesPerSector)
            return false;
    }
    return true;
}

bool writeBin(const QString &path, const Disc &disc, const FrameSource &source)
{
    QFile bin(path);
    if (!bin.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    int64_t sectors = 0;
    for (size_t i = 0; i < disc.tracks.size(); ++i) {
        const Track &track = disc.tracks[i];
        sectors += track.pregapSectors + sectorsFor(track.frames);
        if (disc.sparse)
            continue;
        const QByteArray pregap(track.pregapSectors * kBytesPerSector, '\0');
        if (bin.write(pregap) != pregap.size() || !writeAudio(bin, int(i) + 1, track, source))
            return false;
    }
    return !disc.sparse || bin.resize(sectors * kBytesPerSector);
}

} // namespace

int64_t sectorsFor(int64_t frames)
{
    return (std::max<int64_t>(frames, 0) + kFramesPerSector - 1) / kFramesPerSector;
}

int16_t patternSample(int track, int64_t frame, int channel)
{
    uint32_t h = uint32_t(frame * 2 + channel) * 2654435761u ^ uint32_t(track) * 0x9E3779B9u;
    h ^= h >> 15;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    return int16_t(h & 0xFFFF);
}

void patternFrame(int track, int64_t frame, int16_t *samples)
{
    samples[0] = patternSample(track, frame, 0);
    samples[1] = patternSample(track, frame, 1);
}

bool writeImage(const QString &cuePath, const Disc &disc, const FrameSource &source,
                QString *error)
{
    const QFileInfo cue(cuePath);
    const QString binName =
        disc.binFileName.isEmpty() ? cue.completeBaseName() + QStringLiteral(".bin") : disc.binFileName;
    if (!writeBin(cue.dir().filePath(binName), disc, source)) {
        *error = QStringLiteral("cannot write %1").arg(cue.dir().filePath(binName));
        return false;
    }
    QSaveFile sheet(cuePath);
    if (!sheet.open(QIODevice::WriteOnly) || sheet.write(sheetText(disc, binName).toUtf8()) < 0
        || !sheet.commit()) {
        *error = QStringLiteral("cannot write %1").arg(cuePath);
        return false;
    }
    return true;
}

} // namespace cdimage
