#include "disc/audio_grabber.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/test_env.h"

#include <QtTest>

namespace {

constexpr int kTrackSectors = 300; // 4 seconds a track
constexpr int kFrames = kTrackSectors * 588;

// A two-track disc behind a simulated drive with these faults and read offset.
QString makeDrive(const QString &name, const QString &faults, int offset = 0)
{
    const QString dir = testEnv().makeDir(name);
    const QString cue = makeCdImage(dir, {CdImageTrack{kFrames}, CdImageTrack{kFrames}});
    return makeDriveFile(cue, faults, offset);
}

struct Read {
    std::vector<int16_t> samples;
    int errors = 0;
    int64_t lostFrames = 0;
};

// Track `track` read through the grabber as a rip reads it.
Read readTrack(const QString &drive, int track, int mode, int action = 1, int retries = 1, int readOffset = 0)
{
    AudioGrabber grabber;
    loadImage(grabber, drive);
    grabber.setGrabModePreset(mode);
    grabber.setGrabOnErrorAction(action);
    grabber.setGrabOnErrorRetries(retries);
    grabber.setReadOffset(readOffset);
    grabber.OpenTrack(track);
    Read read;
    for (SampleBlock block = grabber.ReadBlock(44100); !block.isEmpty(); block = grabber.ReadBlock(44100)) {
        read.errors += grabber.errorCode() != 0;
        read.samples.insert(read.samples.end(), block.samples.begin(), block.samples.end());
    }
    read.lostFrames = grabber.unreadableFrames();
    return read;
}

std::vector<int16_t> trackSamples(int track) { return cdImageSamples(track, 0, kFrames); }

} // namespace

class TestSimulatedDrive : public QObject {
    Q_OBJECT

private slots:
    // The drive list names the drive by its vendor and model; a clean disc reads bit-exact in
    // every grab mode, straight or through paranoia.
    void everyGrabMode_data()
    {
        QTest::addColumn<int>("mode");
        for (int mode = 0; mode <= 4; ++mode)
            QTest::addRow("grab mode %d", mode) << mode;
    }
    void everyGrabMode()
    {
        QFETCH(int, mode);
        const QString drive = makeDrive(QStringLiteral("clean"), {});
        AudioGrabber grabber;
        loadImage(grabber, drive);
        QCOMPARE(grabber.driveName(), QStringLiteral("PLEXTOR DVDR PX-716A"));
        QVERIFY2(grabber.trackCount() == 2, qPrintable(grabber.discError()));
        for (int track : {1, 2}) {
            const Read read = readTrack(drive, track, mode);
            QVERIFY(read.samples == trackSamples(track));
            QCOMPARE(read.errors, 0);
        }
    }

    // Damaged reads: sectors whose first two reads come back damaged, and reads that start in
    // a range and come back a few frames off. The verifying modes read until two reads agree
    // and line reads up by their overlap; the straight ones take what comes.
    void damagedReads_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("exact");
        for (const char *fault : {"flaky = 100-104", "jitter = 50-250"}) {
            for (int mode = 0; mode <= 4; ++mode)
                QTest::addRow("%s, grab mode %d", fault, mode) << QString::fromLatin1(fault) << mode << (mode >= 2);
        }
    }
    void damagedReads()
    {
        QFETCH(QString, fault);
        QFETCH(int, mode);
        QFETCH(bool, exact);
        const Read read = readTrack(makeDrive(QStringLiteral("damaged"), fault), 1, mode);
        QCOMPARE(read.samples.size(), size_t(kFrames) * 2);
        QCOMPARE(read.samples == trackSamples(1), exact);
        QCOMPARE(read.lostFrames, 0);
    }

    // Two sectors fail their first reads: enough retries read them, fewer lose them. In the
    // straight modes a retry is one more read of the sector; paranoia rereads the region on its
    // own before the retries of a straight read.
    void retries_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("failingReads");
        QTest::addColumn<int>("retries");
        QTest::addColumn<bool>("recovered");
        QTest::newRow("straight, too few") << 1 << 3 << 0 << false;
        QTest::newRow("straight, enough") << 1 << 3 << 5 << true;
        QTest::newRow("paranoia, too few") << 3 << 20 << 1 << false;
        QTest::newRow("paranoia, enough") << 3 << 20 << 20 << true;
    }
    void retries()
    {
        QFETCH(int, mode);
        QFETCH(int, failingReads);
        QFETCH(int, retries);
        QFETCH(bool, recovered);
        const QString drive = makeDrive(QStringLiteral("retries"), QStringLiteral("unreadable = 120-121:%1").arg(failingReads));
        const Read read = readTrack(drive, 1, mode, 1, retries);
        QCOMPARE(read.lostFrames == 0, recovered);
        QCOMPARE(read.samples == trackSamples(1), recovered);
        QCOMPARE(read.samples.size(), size_t(kFrames) * 2);
    }

    // Sectors that never read: each error action shapes the track as it says, and the lost
    // frames are those of the fault file.
    void errorActions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("action");
        for (int mode : {1, 2, 3}) {
            for (int action = 0; action <= 3; ++action)
                QTest::addRow("mode %d, action %d", mode, action) << mode << action;
        }
    }
    void errorActions()
    {
        QFETCH(int, mode);
        QFETCH(int, action);
        constexpr int kFirst = 100, kCount = 5;
        const QString drive = makeDrive(QStringLiteral("scratch"), QStringLiteral("unreadable = 100-104"));
        const Read read = readTrack(drive, 1, mode, action, 1);
        QCOMPARE(read.lostFrames, int64_t(kCount) * 588);
        QCOMPARE(read.errors > 0, action == 0);
        const bool keepsLength = action == 1 || action == 3;
        QCOMPARE(read.samples.size(), size_t(kFrames - (keepsLength ? 0 : kCount * 588)) * 2);
        const std::vector<int16_t> good = trackSamples(1);
        const auto badBegin = good.begin() + kFirst * 1176, badEnd = badBegin + kCount * 1176;
        QVERIFY(std::equal(good.begin(), badBegin, read.samples.begin()));
        const auto after = read.samples.begin() + (keepsLength ? kFirst + kCount : kFirst) * 1176;
        QVERIFY(std::equal(badEnd, good.end(), after));
        if (action == 1)
            QVERIFY(std::all_of(read.samples.begin() + kFirst * 1176, after, [](int16_t v) { return v == 0; }));
    }

    // A drive that reads 30 frames early gives the disc's audio once the rip's read offset
    // says so; the last frames of the disc lie in the lead-out for it, and come as zeros.
    void readOffset_data()
    {
        QTest::addColumn<int>("readOffset");
        QTest::addColumn<bool>("exact");
        QTest::newRow("corrected") << 30 << true;
        QTest::newRow("not corrected") << 0 << false;
    }
    void readOffset()
    {
        QFETCH(int, readOffset);
        QFETCH(bool, exact);
        const QString drive = makeDrive(QStringLiteral("offset"), {}, 30);
        for (int track : {1, 2}) {
            std::vector<int16_t> expected = trackSamples(track);
            if (track == 2)
                std::fill(expected.end() - 30 * 2, expected.end(), int16_t(0));
            const Read read = readTrack(drive, track, 3, 1, 1, readOffset);
            QCOMPARE(read.samples.size(), expected.size());
            QCOMPARE(read.samples == expected, exact);
        }
    }
};

HARVELO_TEST_MAIN(TestSimulatedDrive, QCoreApplication)
#include "tst_simulated_drive.moc"
