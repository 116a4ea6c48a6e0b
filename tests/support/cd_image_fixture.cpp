#include "tests/support/cd_image_fixture.h"

#include "tests/support/audio_fixtures.h"

#include "disc/audio_grabber.h"
#include "tools/cd_image_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTest>
#include <QtEndian>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kSector = 588;

QByteArray wavHeader(int64_t frames)
{
    QByteArray h;
    auto u32 = [&h](quint32 v) { h.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 4); };
    auto u16 = [&h](quint16 v) { h.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 2); };
    const QByteArray list("INFOISFT\x05\0\0\0abcd\0\0", 18);
    h += "RIFF";
    u32(quint32(4 + 24 + 8 + list.size() + 8 + frames * 4));
    h += "WAVEfmt ";
    u32(16), u16(1), u16(2), u32(44100), u32(176400), u16(4), u16(16);
    h += "LIST";
    u32(quint32(list.size() - 1));
    h += list;
    h += "data";
    u32(quint32(frames * 4));
    return h;
}

} // namespace

QString makeCdImage(const QString &dir, const QList<CdImageTrack> &tracks, const QString &artist,
                    const QString &album, const CdImageOptions &options)
{
    return makeCdImageOf(cdimage::patternFrame, dir, tracks, artist, album, options);
}

QString makeCdImageOf(const std::function<void(int, int64_t, int16_t *)> &audio, const QString &dir,
                      const QList<CdImageTrack> &tracks, const QString &artist,
                      const QString &album, const CdImageOptions &options)
{
    cdimage::Disc disc;
    disc.artist = artist;
    disc.album = album;
    disc.binFileName = options.binName;
    disc.sparse = options.sparse;
    for (const CdImageTrack &track : tracks)
        disc.tracks.push_back({track.frames, track.title, track.data, 0});
    if (!disc.tracks.empty())
        disc.tracks.front().pregapSectors = options.firstPregapSectors;
    const QString cue = QDir(dir).filePath(options.cueName);
    QString error;
    if (!cdimage::writeImage(cue, disc, audio, &error))
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    return cue;
}

int64_t cdFramesForMs(int ms)
{
    return cdimage::sectorsFor(int64_t(ms) * 44100 / 1000) * cdimage::kFramesPerSector;
}

std::vector<int16_t> cdImageSamples(int track, int64_t firstFrame, int64_t frames)
{
    std::vector<int16_t> samples(size_t(frames) * 2);
    for (int64_t i = 0; i < frames; ++i)
        cdimage::patternFrame(track, firstFrame + i, &samples[size_t(i) * 2]);
    return samples;
}

void setCdDevices(const QStringList &sources)
{
    qputenv("HARVELO_CD_DEVICES", sources.join(QLatin1Char(':')).toLocal8Bit());
}

void writeSheetAudioFile(const QString &path, const QString &kind, int sectors, int track, int leadIn)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const int64_t frames = int64_t(sectors) * kSector;
    if (kind == QLatin1String("wav"))
        file.write(wavHeader(frames));
    const qint64 start = file.pos();
    if (track > 0) {
        file.write(QByteArray(leadIn * 2352, '\0'));
        std::vector<int16_t> samples = cdImageSamples(track, 0, frames - leadIn * kSector);
        for (int16_t &s : samples)
            s = kind == QLatin1String("big") ? qToBigEndian(s) : qToLittleEndian(s);
        file.write(reinterpret_cast<const char *>(samples.data()), qint64(samples.size() * 2));
    }
    QVERIFY(file.resize(start + frames * 4));
}

void loadImage(AudioGrabber &grabber, const QString &image)
{
    setCdDevices({image});
    grabber.setDriveNum(grabber.driveCount());
    grabber.ReadTOC();
}

QByteArray stderrOf(const std::function<void()> &work)
{
    QTemporaryFile capture;
    if (!capture.open())
        return "cannot capture stderr";
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(capture.handle(), 2);
    work();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    capture.seek(0);
    return capture.readAll();
}

QString makeDriveFile(const QString &image, const QString &faults, int offset, const QString &name)
{
    const QString path = QFileInfo(image).dir().filePath(name);
    QFile file(path);
    const QByteArray text = QStringLiteral("[drive]\nimage = %1 ; beside this file\nvendor = PLEXTOR\n"
                                           "model = DVDR   PX-716A\noffset = %2\n[faults]\n%3\n")
                                .arg(QFileInfo(image).fileName())
                                .arg(offset)
                                .arg(faults)
                                .toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
