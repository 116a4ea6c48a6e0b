#include "audio/audio_grabber.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using Lengths = QList<int64_t>;

namespace {

QList<CdImageTrack> tracksOf(const Lengths &frames)
{
    QList<CdImageTrack> tracks;
    for (int64_t length : frames)
        tracks.append(CdImageTrack{length});
    return tracks;
}

// The grabber with `cue` as its last drive, TOC read.
void loadDisc(AudioGrabber &grabber, const QString &cue)
{
    setCdDevices({cue});
    grabber.setDriveNum(grabber.driveCount());
    grabber.ReadTOC();
}

// Every block of the open track, concatenated; the count of blocks that had an error.
std::vector<int16_t> readAll(AudioGrabber &grabber, int blockSamples, int *errors)
{
    std::vector<int16_t> all;
    *errors = 0;
    for (int guard = 0; guard < 100000; ++guard) {
        SampleBlock block = grabber.ReadBlock(blockSamples);
        *errors += grabber.errorCode() != 0;
        if (block.isEmpty())
            return all;
        if (block.size() > blockSamples)
            return {};
        all.insert(all.end(), block.samples.begin(), block.samples.end());
    }
    return {};
}

} // namespace

class TestAudioGrabber : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tableOfContents_data()
    {
        QTest::addColumn<Lengths>("frames");
        QTest::addColumn<QList<int>>("lengthsMs");
        QTest::newRow("one second") << Lengths{44100} << QList<int>{1000};
        QTest::newRow("one sector") << Lengths{588} << QList<int>{13};
        QTest::newRow("three tracks") << Lengths{66150, 88200, 22050}
                                      << QList<int>{1506, 2000, 506};
    }
    void tableOfContents()
    {
        QFETCH(Lengths, frames);
        QFETCH(QList<int>, lengthsMs);
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("toc")), tracksOf(frames)));
        QCOMPARE(grabber.trackCount(), frames.size());
        for (int k = 1; k <= frames.size(); ++k) {
            grabber.setTrackNum(k);
            QCOMPARE(grabber.trackLength(), lengthsMs[k - 1]);
            QCOMPARE(grabber.trackSamples(), (frames[k - 1] + 587) / 588 * 588);
        }
    }

    void readsEveryModeBitExactly_data()
    {
        QTest::addColumn<int>("grabMode");
        QTest::addColumn<int>("blockSamples");
        for (int mode = 0; mode <= 4; ++mode) {
            QTest::addRow("mode %d, rip blocks", mode) << mode << 88200;
            QTest::addRow("mode %d, odd blocks", mode) << mode << 12345;
        }
    }
    void readsEveryModeBitExactly()
    {
        QFETCH(int, grabMode);
        QFETCH(int, blockSamples);
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("read")),
                                      tracksOf({cdFramesForMs(700), cdFramesForMs(1300), 588})));
        grabber.setGrabModePreset(grabMode);
        for (int track = 1; track <= 3; ++track) {
            grabber.OpenTrack(track);
            QCOMPARE(grabber.errorCode(), 0);
            int errors = -1;
            const std::vector<int16_t> samples = readAll(grabber, blockSamples, &errors);
            QCOMPARE(errors, 0);
            QVERIFY(samples == cdImageSamples(track, 0, grabber.trackSamples()));
            QVERIFY(grabber.ReadBlock(blockSamples).isEmpty());
            grabber.CloseTrack();
        }
    }

    void sheetNamingAnotherBinFile()
    {
        CdImageOptions options;
        options.binName = QStringLiteral("Other name.img");
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("otherbin")),
                                      tracksOf({cdFramesForMs(400), cdFramesForMs(300)}), {}, {},
                                      options));
        QCOMPARE(grabber.trackCount(), 2);
        grabber.OpenTrack(2);
        int errors = -1;
        QVERIFY(readAll(grabber, 88200, &errors) == cdImageSamples(2, 0, cdFramesForMs(300)));
        QCOMPARE(errors, 0);
    }

    void dataTrackIsNotOpened()
    {
        AudioGrabber grabber;
        QList<CdImageTrack> tracks = tracksOf({cdFramesForMs(300)});
        tracks.append(CdImageTrack{cdFramesForMs(300), {}, true});
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("data")), tracks));
        QCOMPARE(grabber.trackCount(), 2);
        grabber.OpenTrack(2);
        QVERIFY(grabber.errorCode() != 0);
        QVERIFY(grabber.ReadBlock(88200).isEmpty());
        QVERIFY(grabber.errorCode() != 0);
        grabber.OpenTrack(1);
        QCOMPARE(grabber.errorCode(), 0);
    }

    void cdTextNamesTheDisc()
    {
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("cdtext")),
                                      {{588, QStringLiteral("First")}, {588}, {588, QStringLiteral("Third")}},
                                      QStringLiteral("The Artist"), QStringLiteral("The Album")));
        QVERIFY(grabber.QueryDiscInfo(2));
        QCOMPARE(grabber.discArtist(), QStringLiteral("The Artist"));
        QCOMPARE(grabber.discAlbum(), QStringLiteral("The Album"));
        const QStringList expected{QStringLiteral("First"), QString(), QStringLiteral("Third")};
        for (int k = 1; k <= 3; ++k) {
            grabber.setTrackNum(k);
            QCOMPARE(grabber.trackTitle(), expected[k - 1]);
        }
    }
};

HARVELO_TEST_MAIN(TestAudioGrabber, QCoreApplication)
#include "tst_audio_grabber.moc"
