#include "audio/audio_grabber.h"
#include "config/ini_file.h"
#include "config/settings_keys.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QFileInfo>
#include <QtTest>

namespace {

ProcessResult cli(const QStringList &args)
{
    return runProgram(QStringLiteral(HARVELO_CLI), args, 20000);
}

} // namespace

class TestCliDiscCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("discs"));
        m_first = makeCdImage(dir, {{44100, QStringLiteral("Alpha")}, {588 * 30, QStringLiteral("Beta")}},
                              QStringLiteral("Band"), QStringLiteral("Record"), {QStringLiteral("one.cue")});
        m_second = makeCdImage(dir, {{588}}, {}, {}, {QStringLiteral("two.cue")});
        setCdDevices({m_first, m_second});
        m_drives = AudioGrabber().driveCount();
    }

    void init() { testEnv().clearIni(); }

    void listsDrives()
    {
        const ProcessResult run = cli({QStringLiteral("drives")});
        QCOMPARE(run.status, 0);
        QVERIFY(m_drives >= 2);
        QCOMPARE(run.outLines().value(m_drives - 2), QStringLiteral("%1\t%2\tone.cue").arg(m_drives - 1).arg(m_first));
        QCOMPARE(run.outLines().value(m_drives - 1), QStringLiteral("%1\t%2\ttwo.cue").arg(m_drives).arg(m_second));
    }

    void printsTheTableOfContents()
    {
        const ProcessResult run = cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives - 1)});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.outLines().size(), 4);
        QVERIFY(QRegularExpression(QStringLiteral("^discid [0-9a-f]{8}$")).match(run.outLines()[0]).hasMatch());
        QCOMPARE(run.outLines().mid(1), (QStringList{"tracks 2", "1 1000 44100", "2 400 17640"}));
        QCOMPARE(cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives + 1)}).status, 1);
    }

    void defaultDriveIsTheCdUnit()
    {
        IniFile().write(settings::cdUnit, m_drives - 1);
        const ProcessResult run = cli({QStringLiteral("toc")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.outLines().value(1), QStringLiteral("tracks 1"));
    }

    void looksUpOnTheServer()
    {
        const QString discId = cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives - 1)})
                                   .outLines().value(0).mid(7);
        CddbTestServer server;
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("jazz"), discId, QStringLiteral("x")));
        server.setEntry(QStringLiteral("jazz"), discId, "DTITLE=Quartet / Live\nTTITLE1=Encore\n");
        IniFile ini;
        ini.write(settings::cddbServer, server.address());
        ini.write(settings::cdUnit, m_drives - 2);
        const ProcessResult found = cli({QStringLiteral("lookup")});
        QCOMPARE(found.status, 0);
        QCOMPARE(found.outLines(), (QStringList{"artist: Quartet", "album: Live", "genre: jazz", "1: ", "2: Encore"}));

        server.setQueryReply(CddbTestServer::noMatch());
        const ProcessResult missing = cli({QStringLiteral("lookup")});
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.outLines().isEmpty());
        QVERIFY(QString::fromUtf8(missing.err).contains(QStringLiteral("Could not find freedb info!")));
    }

    void looksUpLocally()
    {
        const ProcessResult run = cli({QStringLiteral("lookup"), QStringLiteral("--local"), QStringLiteral("--drive"),
                             QString::number(m_drives - 1)});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.outLines(), (QStringList{"artist: Band", "album: Record", "genre: ", "1: Alpha", "2: Beta"}));
        QCOMPARE(cli({QStringLiteral("lookup"), QStringLiteral("--local"), QStringLiteral("--drive"),
                      QString::number(m_drives)}).status, 1);
    }

    // A .toc file that made libcdio divide by zero: listed as a drive, refused with the reason.
    void refusesAnImageThatIsNotValid()
    {
        const QString toc = QDir(testEnv().makeDir(QStringLiteral("badimage"))).filePath(QStringLiteral("crash.toc"));
        QVERIFY(writeFileBytes(toc, "TRACK\nSILENCE 00:00:01\nFILE\n"));
        setCdDevices({m_first, toc});
        const ProcessResult drives = cli({QStringLiteral("drives")});
        const ProcessResult run = cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives)});
        setCdDevices({m_first, m_second});
        QCOMPARE(drives.status, 0);
        QCOMPARE(drives.outLines().value(m_drives - 1), QStringLiteral("%1\t%2\tcrash.toc").arg(m_drives).arg(toc));
        QCOMPARE(run.status, 1);
        QCOMPARE(QString::fromUtf8(run.err),
                 QStringLiteral("harvelo-cli: no audio disc in drive %1: crash.toc: line 1: TRACK needs a mode such as AUDIO\n")
                     .arg(m_drives));
    }

private:
    QString m_first;
    QString m_second;
    int m_drives = 0;
};

HARVELO_TEST_MAIN(TestCliDiscCommands, QCoreApplication)
#include "tst_cli_disc_commands.moc"
