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
