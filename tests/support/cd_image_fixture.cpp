#include "tests/support/cd_image_fixture.h"

#include "tests/support/audio_fixtures.h"

#include "tools/cd_image_writer.h"

#include <QDir>
#include <QTest>

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
