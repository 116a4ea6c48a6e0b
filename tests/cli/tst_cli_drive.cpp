#include "disc/accuraterip_disc_id.h"
#include "disc/cd_disc.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/accuraterip_fixture.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QDirIterator>
#include <QtEndian>
#include <QRegularExpression>
#include <QtTest>

namespace {

constexpr int kTrackSectors = 300;
constexpr int kFrames = kTrackSectors * 588;

// Every file below `dir` with this suffix, sorted.
QStringList filesWith(const QString &dir, const QString &suffix)
{
    QStringList files;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        if (path.endsWith(suffix))
            files.append(path);
    }
    files.sort();
    return files;
}

// The values of `key` in the log, one a track, in order.
QStringList logValues(const QString &log, const QString &key)
{
    QStringList values;
    const QRegularExpression line(QStringLiteral("^  %1: (.*)$").arg(QRegularExpression::escape(key)),
                                  QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(log); it.hasNext();)
        values.append(it.next().captured(1));
    return values;
}

struct CliRip {
    ProcessResult process;
    QString log;
    QStringList files;
};

CliRip ripDrive(const QString &drive, const QStringList &extra = {})
{
    const QString out = testEnv().makeDir(QStringLiteral("out"));
    CliRip rip;
    rip.process = runProgram(QStringLiteral(HARVELO_CLI_PATH),
                             QStringList{QStringLiteral("rip"), QStringLiteral("--device"), drive,
                                         QStringLiteral("--format"), QStringLiteral("wav"),
                                         QStringLiteral("--output"), out} + extra);
    const QStringList logs = filesWith(out, QStringLiteral(".log"));
    rip.log = logs.isEmpty() ? QString() : QString::fromUtf8(fileBytes(logs.first()));
    rip.files = filesWith(out, QStringLiteral(".wav"));
    return rip;
}

// DriveOffsets.bin: records of a 16-bit little-endian offset, 32 bytes of name, 35 of figures.
QByteArray driveOffsetsBin(const QList<QPair<QByteArray, int>> &drives)
{
    QByteArray bytes;
    for (const auto &[name, offset] : drives) {
        QByteArray record(69, '\0');
        qToLittleEndian<qint16>(qint16(offset), record.data());
        record.replace(2, int(std::min<qsizetype>(name.size(), 32)), name.left(32));
        record[40] = 12; // a count of submissions, not read
        bytes += record;
    }
    return bytes;
}

QString cachedOffsets()
{
    return QDir(qEnvironmentVariable("XDG_CACHE_HOME")).filePath(QStringLiteral("harvelo/DriveOffsets.bin"));
}

} // namespace

// harvelo-cli on a simulated drive: what a rip reports of unreadable sectors, and the read
// offset against the AccurateRip database of a local server.
class TestCliDrive : public QObject {
    Q_OBJECT
    QString m_cue;
    CddbTestServer m_server;
    QMap<int, ReferenceSums> m_reference;

private slots:
    void initTestCase()
    {
        m_cue = makeCdImage(testEnv().makeDir(QStringLiteral("disc")), {CdImageTrack{kFrames}, CdImageTrack{kFrames}});
        const QString bin = QFileInfo(m_cue).dir().filePath(QStringLiteral("disc.bin"));
        for (int track : {1, 2})
            m_reference[track] = referenceSums(bin, qint64(track - 1) * kFrames * 4, kFrames, track == 1, track == 2);
        QVERIFY(m_reference[1].ok() && m_reference[2].ok());
        const auto disc = CdDisc::open(m_cue);
        QVERIFY(disc);
        const AccurateRipDiscId id = AccurateRipDiscId::fromToc(disc->toc());
        m_server.setFile(id.urlPath(), dbarPressing(id, {{7, m_reference[1].v1Value()}, {7, m_reference[2].v1Value()}}));
    }

    void init()
    {
        testEnv().clearIni();
        IniFile ini;
        ini.write(settings::normalize, QStringLiteral("no"));
        ini.write(settings::writeLog, QStringLiteral("yes"));
        ini.write(settings::accurateRipServer, m_server.address());
    }

    // The drive database proposes an offset for a drive whose own one was never set, from
    // the cache while it is younger than 30 days, else fetched again (the old list stays when
    // the server fails).
    void driveDatabaseProposal_data()
    {
        QTest::addColumn<int>("cacheAgeDays"); // -1: no cache
        QTest::addColumn<QByteArray>("served"); // the server's list; empty: 404
        QTest::addColumn<bool>("ownKey");
        QTest::addColumn<QString>("proposed");
        const QByteArray plextor30 = driveOffsetsBin({{"HL-DT-ST - DVDRAM GH24NSD1", 6}, {"PLEXTOR - DVDR   PX-716A", 30}});
        const QByteArray plextor44 = driveOffsetsBin({{" plextor  -  dvdr px-716a ", 44}});
        const QString text = QStringLiteral("Offset from the drive database: %1 (PLEXTOR DVDR PX-716A)");
        QTest::newRow("fetched") << -1 << plextor30 << false << text.arg("+30");
        QTest::newRow("own offset set") << -1 << plextor30 << true << QString();
        QTest::newRow("unknown drive") << -1 << driveOffsetsBin({{"TEAC - CD-540E", -12}}) << false << QString();
        QTest::newRow("fresh cache") << 1 << plextor44 << false << text.arg("+30");
        QTest::newRow("stale cache, case and blanks") << 31 << plextor44 << false << text.arg("+44");
        QTest::newRow("stale cache, server fails") << 31 << QByteArray() << false << text.arg("+30");
        QTest::newRow("no list at all") << -1 << QByteArray() << false << QString();
        QTest::newRow("a reply of no record") << -1 << QByteArray(68, 'x') << false << QString();
    }
    void driveDatabaseProposal()
    {
        QFETCH(int, cacheAgeDays);
        QFETCH(QByteArray, served);
        QFETCH(bool, ownKey);
        QFETCH(QString, proposed);
        CddbTestServer server;
        if (!served.isEmpty())
            server.setFile(QStringLiteral("/accuraterip/DriveOffsets.bin"), served);
        IniFile().write(settings::accurateRipServer, server.address());
        if (ownKey)
            IniFile().writeInteger(QStringLiteral("cd settings"), QStringLiteral("read offset PLEXTOR DVDR PX-716A"), 5);
        QFile::remove(cachedOffsets());
        if (cacheAgeDays >= 0) {
            QVERIFY(QDir().mkpath(QFileInfo(cachedOffsets()).path()));
            QVERIFY(writeFileBytes(cachedOffsets(), driveOffsetsBin({{"PLEXTOR - DVDR   PX-716A", 30}})));
            QFile cache(cachedOffsets());
            QVERIFY(cache.open(QIODevice::ReadWrite));
            QVERIFY(cache.setFileTime(QDateTime::currentDateTime().addDays(-cacheAgeDays), QFileDevice::FileModificationTime));
        }
        setCdDevices({m_cue, makeDriveFile(m_cue)});
        const ProcessResult drives = runProgram(QStringLiteral(HARVELO_CLI_PATH), {QStringLiteral("drives")});
        QCOMPARE(drives.status, 0);
        const QStringList lines = drives.outLines();
        QVERIFY2(lines.size() >= 2, drives.out.constData());
        QCOMPARE(lines.last().section(QLatin1Char('\t'), 2, 2), QStringLiteral("PLEXTOR DVDR PX-716A"));
        QCOMPARE(lines.last().section(QLatin1Char('\t'), 3), proposed);
        QCOMPARE(lines[lines.size() - 2].count(QLatin1Char('\t')), 2); // an image has no drive to correct
    }

    // harvelo-cli offset --find reads a track of a disc the database knows and tries offsets
    // until its checksum matches: a common one at once, another by sliding over all.
    void findOffset_data()
    {
        QTest::addColumn<int>("driveOffset");
        QTest::addColumn<QString>("found");
        QTest::newRow("common offset") << 30 << QStringLiteral("read offset +30 (track 1: accurately ripped (v1, confidence 7))");
        QTest::newRow("any offset") << -1234 << QStringLiteral("read offset -1234 (track 1: accurately ripped (v1, confidence 7))");
        QTest::newRow("none") << 0 << QStringLiteral("read offset 0 (track 1: accurately ripped (v1, confidence 7))");
    }
    void findOffset()
    {
        QFETCH(int, driveOffset);
        QFETCH(QString, found);
        setCdDevices({makeDriveFile(m_cue, {}, driveOffset)});
        const ProcessResult run = runProgram(QStringLiteral(HARVELO_CLI_PATH),
                                             {QStringLiteral("offset"), QStringLiteral("--find"), QStringLiteral("--save"),
                                              QStringLiteral("--drive"), QStringLiteral("1")});
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(run.outLines().value(0), found);
        QCOMPARE(run.outLines().value(1), QStringLiteral("saved as \"read offset PLEXTOR DVDR PX-716A\""));
        QCOMPARE(IniFile().readInteger(QStringLiteral("cd settings"), QStringLiteral("read offset plextor dvdr px-716a"), 99), driveOffset);
        // The rip then reads this drive with its own offset.
        IniFile().write(settings::readOffset, 555);
        const CliRip rip = ripDrive(QStringLiteral("1"));
        QVERIFY2(rip.log.contains(QStringLiteral("Read offset: %1 samples").arg(driveOffset)), qPrintable(rip.log));
    }

    // Test and copy reads each track twice and writes the second read: the log gives both
    // CRC32s, and where they differ (flaky sectors read straight) the track is suspicious in
    // the log and in the report at the end; paranoia reads them alike.
    void testAndCopy_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("faults");
        QTest::addColumn<QString>("how"); // "flag", "setting" or "off"
        QTest::addColumn<bool>("suspicious");
        QTest::newRow("straight, flaky") << 1 << "flaky = 100-104" << "flag" << true;
        QTest::newRow("paranoia, flaky") << 3 << "flaky = 100-104" << "flag" << false;
        QTest::newRow("setting, clean") << 1 << QString() << "setting" << false;
        QTest::newRow("off") << 1 << "flaky = 100-104" << "off" << false;
    }
    void testAndCopy()
    {
        QFETCH(int, mode);
        QFETCH(QString, faults);
        QFETCH(QString, how);
        QFETCH(bool, suspicious);
        IniFile().write(settings::grabMode, mode);
        if (how == QLatin1String("setting"))
            IniFile().write(settings::testAndCopy, QStringLiteral("yes"));
        const QStringList flag = how == QLatin1String("flag") ? QStringList{QStringLiteral("--test-and-copy")} : QStringList();
        const CliRip rip = ripDrive(makeDriveFile(m_cue, faults), flag);
        QCOMPARE(rip.files.size(), 2);
        const QStringList tests = logValues(rip.log, QStringLiteral("Test CRC32"));
        const QStringList copies = logValues(rip.log, QStringLiteral("Copy CRC32"));
        QCOMPARE(tests.size(), how == QLatin1String("off") ? 0 : 2);
        QCOMPARE(copies.size(), tests.size());
        // The CRC32 of what was written is the copy's.
        const QStringList written = logValues(rip.log, QStringLiteral("CRC32"));
        for (int t = 0; t < copies.size(); ++t)
            QCOMPARE(copies[t].left(8), written.value(t));
        for (int t = 0; t < tests.size(); ++t) {
            const bool differs = tests[t] != copies[t].left(8);
            QCOMPARE(differs, suspicious && t == 0);
            QCOMPARE(copies[t].endsWith(QStringLiteral("  suspicious")), differs);
        }
        const QString err = QString::fromUtf8(rip.process.err);
        QCOMPARE(err.contains(QStringLiteral("Test and copy read some tracks differently:")), suspicious);
        QCOMPARE(err.contains(QRegularExpression(QStringLiteral("Track 1 \\(Track1\\): Test CRC32 [0-9A-F]{8}, Copy CRC32 [0-9A-F]{8}, suspicious"))), suspicious);
        QCOMPARE(rip.process.status, suspicious ? 1 : 0);
        // The written read: paranoia's is the disc's audio.
        if (mode == 3)
            QVERIFY(decodeWithFfmpeg(rip.files[0]) == cdImageSamples(1, 0, kFrames));
    }

    // Five sectors of track 1 never read: each error action does what it says, and the log
    // and the report at the end count the frames of the fault file.
    void errorActions_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("word");
        QTest::newRow("stop") << 0 << "skipped";
        QTest::newRow("silence") << 1 << "replaced by silence";
        QTest::newRow("cut") << 2 << "cut";
        QTest::newRow("correct") << 3 << "guessed";
    }
    void errorActions()
    {
        QFETCH(int, action);
        QFETCH(QString, word);
        IniFile().write(settings::errorAction, action);
        IniFile().write(settings::grabMode, 3);
        const QString drive = makeDriveFile(m_cue, QStringLiteral("unreadable = 100-104"));
        const CliRip rip = ripDrive(drive);
        QCOMPARE(rip.files.size(), 2);
        QCOMPARE(logValues(rip.log, QStringLiteral("Samples not read")), (QStringList{"2940", "0"}));
        const QString err = QString::fromUtf8(rip.process.err);
        QVERIFY2(err.contains(QStringLiteral("Some audio could not be read:")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("Track 1 (Track1): 0.07 s ") + word), qPrintable(err));
        QVERIFY(!err.contains(QStringLiteral("Track 2 (Track2)")));
        const qint64 frames = decodeWithFfmpeg(rip.files[0]).size() / 2;
        QCOMPARE(frames, qint64(kFrames - (action == 0 || action == 2 ? 5 * 588 : 0)));
        QCOMPARE(rip.process.status, 1);
    }

    // A drive that reads 30 frames early: with "read offset" 30 the files are the disc's
    // audio (the last 30 frames lie in the lead-out for this drive and come as zeros) and the
    // database agrees; with 0 they are not, and it does not.
    void readOffset_data()
    {
        QTest::addColumn<int>("readOffset");
        QTest::addColumn<bool>("exact");
        QTest::newRow("30") << 30 << true;
        QTest::newRow("0") << 0 << false;
    }
    void readOffset()
    {
        QFETCH(int, readOffset);
        QFETCH(bool, exact);
        IniFile().write(settings::readOffset, readOffset);
        const CliRip rip = ripDrive(makeDriveFile(m_cue, {}, 30));
        QCOMPARE(rip.files.size(), 2);
        for (int track : {1, 2}) {
            std::vector<int16_t> expected = cdImageSamples(track, 0, kFrames);
            if (track == 2)
                std::fill(expected.end() - 60, expected.end(), int16_t(0));
            QCOMPARE(decodeWithFfmpeg(rip.files[track - 1]) == expected, exact);
        }
        QCOMPARE(rip.log.contains(QStringLiteral("\nAll tracks accurately ripped\n")), exact);
        const QStringList reference{m_reference[1].v1.toUpper(), m_reference[2].v1.toUpper()};
        QCOMPARE(logValues(rip.log, QStringLiteral("AccurateRip v1")) == reference, exact);
        QCOMPARE(logValues(rip.log, QStringLiteral("AccurateRip")).filter(QStringLiteral("accurate")).size(), exact ? 2 : 0);
    }
};

HARVELO_TEST_MAIN(TestCliDrive, QCoreApplication)
#include "tst_cli_drive.moc"
