#include "disc/audio_grabber.h"
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

// The freedb disc ID as the freedb documentation computes it, from LBA offsets.
QString freedbId(const QList<int> &offsets, int leadout)
{
    int checksum = 0;
    for (int offset : offsets) {
        for (int seconds = offset / 75; seconds > 0; seconds /= 10)
            checksum += seconds % 10;
    }
    const quint32 id = quint32(checksum % 255) << 24 | quint32(leadout / 75 - offsets[0] / 75) << 8
                       | quint32(offsets.size());
    return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
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

    void unreadableSectors_data()
    {
        QTest::addColumn<int>("grabMode");
        QTest::addColumn<int>("action");
        for (int mode : {1, 2, 3}) {
            for (int action = 0; action <= 3; ++action)
                QTest::addRow("mode %d, action %d", mode, action) << mode << action;
        }
    }
    // The data of the image ends inside the track after its TOC was read, as a scratch makes
    // sectors unreadable: reading ends, and the error action shapes what came back.
    void unreadableSectors()
    {
        QFETCH(int, grabMode);
        QFETCH(int, action);
        constexpr int kGood = 60, kSectors = 68;
        AudioGrabber grabber;
        const QString cue = makeCdImage(testEnv().makeDir(QStringLiteral("scratch")),
                                        tracksOf({kSectors * 588}));
        loadDisc(grabber, cue);
        QVERIFY(QFile::resize(QFileInfo(cue).dir().filePath(QStringLiteral("disc.bin")), kGood * 2352));
        grabber.setGrabModePreset(grabMode);
        grabber.setGrabOnErrorAction(action);
        grabber.setGrabOnErrorRetries(1);
        grabber.OpenTrack(1);
        int errors = 0;
        const std::vector<int16_t> samples = readAll(grabber, 88200, &errors);
        const std::vector<int16_t> good = cdImageSamples(1, 0, kGood * 588);
        QVERIFY(samples.size() >= good.size());
        QVERIFY(std::equal(good.begin(), good.end(), samples.begin()));
        const bool keepsLength = action == 1 || action == 3;
        QCOMPARE(samples.size(), size_t(keepsLength ? kSectors : kGood) * 1176);
        QCOMPARE(errors > 0, action == 0);
        if (action == 1)
            QVERIFY(std::all_of(samples.begin() + std::ptrdiff_t(good.size()), samples.end(),
                                [](int16_t v) { return v == 0; }));
    }

    void noDiscInDrive_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("driveOffset"); // from the last drive
        QTest::newRow("drive 0") << QString() << 0;
        QTest::newRow("beyond the list") << QStringLiteral("image") << 1;
        QTest::newRow("missing image") << QStringLiteral("missing") << 0;
        QTest::newRow("not a sheet") << QStringLiteral("garbage") << 0;
    }
    void noDiscInDrive()
    {
        QFETCH(QString, source);
        QFETCH(int, driveOffset);
        const QDir dir(testEnv().makeDir(QStringLiteral("nodisc")));
        QString path;
        if (source == QLatin1String("image"))
            path = makeCdImage(dir.path(), tracksOf({588}));
        else if (!source.isEmpty())
            path = dir.filePath(source + QStringLiteral(".cue"));
        if (source == QLatin1String("garbage")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("FILE \"x.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 99:99:99\n\xff\xfe");
        }
        setCdDevices(path.isEmpty() ? QStringList() : QStringList{path});
        AudioGrabber grabber;
        grabber.setDriveNum(source.isEmpty() ? 0 : grabber.driveCount() + driveOffset);
        grabber.ReadTOC();
        QCOMPARE(grabber.trackCount(), 0);
        QVERIFY(grabber.discId().isEmpty());
        QVERIFY(!grabber.QueryDiscInfo(2));
        grabber.OpenTrack(1);
        QVERIFY(grabber.errorCode() != 0);
        QVERIFY(grabber.ReadBlock(88200).isEmpty());
        grabber.CloseTrack();
        grabber.CloseTrack();
    }

    void driveListEndsWithConfiguredSources()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("drives"));
        const QString first = makeCdImage(dir, tracksOf({588}), {}, {}, {QStringLiteral("a.cue")});
        const QString second = makeCdImage(dir, tracksOf({588, 588}), {}, {}, {QStringLiteral("b.cue")});
        setCdDevices({});
        const int realDrives = AudioGrabber().driveCount();
        setCdDevices({first, second});
        AudioGrabber grabber;
        QCOMPARE(grabber.driveCount(), realDrives + 2);
        grabber.setDriveNum(realDrives + 2);
        QCOMPARE(grabber.driveLetter(), second);
        QCOMPARE(grabber.driveName(), QStringLiteral("b.cue"));
        grabber.ReadTOC();
        QCOMPARE(grabber.trackCount(), 2);
        grabber.setDriveNum(realDrives + 1);
        QCOMPARE(grabber.driveLetter(), first);
        grabber.ReadTOC();
        QCOMPARE(grabber.trackCount(), 1);
    }

    void discIdFollowsTheFreedbAlgorithm_data()
    {
        QTest::addColumn<Lengths>("frames");
        QTest::addColumn<int>("pregap");
        QTest::newRow("one track") << Lengths{44100 * 3} << 0;
        QTest::newRow("four tracks") << Lengths{44100 * 2, 588 * 100, 44100, 588 * 3} << 0;
        QTest::newRow("hidden first pregap") << Lengths{44100, 44100 * 2} << 33;
    }
    void discIdFollowsTheFreedbAlgorithm()
    {
        QFETCH(Lengths, frames);
        QFETCH(int, pregap);
        CdImageOptions options;
        options.firstPregapSectors = pregap;
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("discid")), tracksOf(frames),
                                      {}, {}, options));
        QList<int> offsets;
        int lba = 150 + pregap;
        for (int64_t length : frames) {
            offsets.append(lba);
            lba += int((length + 587) / 588);
        }
        QCOMPARE(grabber.discId(), freedbId(offsets, lba));
    }

    void localDatabaseBesideTheSettings()
    {
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("local")),
                                      {{588}, {588, QStringLiteral("Text Two")}, {588}},
                                      QStringLiteral("Text Artist")));
        QFile ini(QFileInfo(testEnv().iniPath()).dir().filePath(QStringLiteral("cdplayer.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[%1]\nartist=Local Artist\ntitle=Local Album\nnumtracks=3\n0=One\n2=Three\n")
                      .arg(grabber.discId())
                      .toUtf8());
        ini.close();
        QVERIFY(grabber.QueryDiscInfo(2));
        QCOMPARE(grabber.discArtist(), QStringLiteral("Local Artist"));
        QCOMPARE(grabber.discAlbum(), QStringLiteral("Local Album"));
        QCOMPARE(grabber.namesSource(), QStringLiteral("CD-Text, local")); // as the rip log names it
        const QStringList expected{QStringLiteral("One"), QStringLiteral("Text Two"), QStringLiteral("Three")};
        for (int k = 1; k <= 3; ++k) {
            grabber.setTrackNum(k);
            QCOMPARE(grabber.trackTitle(), expected[k - 1]);
        }
        QVERIFY(ini.remove());
        grabber.ReadTOC();
        QCOMPARE(grabber.discArtist(), QString());
        QVERIFY(grabber.QueryDiscInfo(2));
        QCOMPARE(grabber.discArtist(), QStringLiteral("Text Artist"));
        QCOMPARE(grabber.discAlbum(), QString());
        QCOMPARE(grabber.namesSource(), QStringLiteral("CD-Text"));
    }

    void initialCddbServer()
    {
        const AudioGrabber grabber;
        QCOMPARE(grabber.cddbServerAddress(), QStringLiteral("gnudb.gnudb.org"));
        QCOMPARE(grabber.cddbCGIScript(), QStringLiteral("/~cddb/cddb.cgi"));
        QCOMPARE(grabber.cddbTimeOut(), 7000);
    }

    void cdTextNamesTheDisc_data()
    {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("album");
        QTest::addColumn<QString>("title");
        QTest::newRow("ASCII") << "The Artist" << "The Album" << "First";
        QTest::newRow("non-ASCII") << QStringLiteral("Sigur R\u00f3s") << QStringLiteral("\u00c1g\u00e6tis byrjun")
                                   << QStringLiteral("Sv\u00e1fnir \u2013 \u65e5\u672c");
    }
    void cdTextNamesTheDisc()
    {
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(QString, title);
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("cdtext")),
                                      {{588, title}, {588}, {588, QStringLiteral("Third")}}, artist, album));
        QVERIFY(grabber.QueryDiscInfo(2));
        QCOMPARE(grabber.discArtist(), artist);
        QCOMPARE(grabber.discAlbum(), album);
        const QStringList expected{title, QString(), QStringLiteral("Third")};
        for (int k = 1; k <= 3; ++k) {
            grabber.setTrackNum(k);
            QCOMPARE(grabber.trackTitle(), expected[k - 1]);
        }
    }
};

HARVELO_TEST_MAIN(TestAudioGrabber, QCoreApplication)
#include "tst_audio_grabber.moc"
