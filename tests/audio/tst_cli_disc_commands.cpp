#include "audio/audio_grabber.h"
#include "config/ini_file.h"
#include "config/settings_keys.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QStringList lines;
    QString errors;
};

Run cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(HARVELO_CLI), args);
    Run run;
    if (!process.waitForFinished(20000))
        return run;
    run.status = process.exitCode();
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
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
        const Run run = cli({QStringLiteral("drives")});
        QCOMPARE(run.status, 0);
        QVERIFY(m_drives >= 2);
        QCOMPARE(run.lines.value(m_drives - 2), QStringLiteral("%1\t%2\tone.cue").arg(m_drives - 1).arg(m_first));
        QCOMPARE(run.lines.value(m_drives - 1), QStringLiteral("%1\t%2\ttwo.cue").arg(m_drives).arg(m_second));
    }

    void printsTheTableOfContents()
    {
        const Run run = cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives - 1)});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines.size(), 4);
        QVERIFY(QRegularExpression(QStringLiteral("^discid [0-9a-f]{8}$")).match(run.lines[0]).hasMatch());
        QCOMPARE(run.lines.mid(1), (QStringList{"tracks 2", "1 1000 44100", "2 400 17640"}));
        QCOMPARE(cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives + 1)}).status, 1);
    }

    void defaultDriveIsTheCdUnit()
    {
        IniFile().write(settings::cdUnit, m_drives - 1);
        const Run run = cli({QStringLiteral("toc")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines.value(1), QStringLiteral("tracks 1"));
    }

    void looksUpOnTheServer()
    {
        const QString discId = cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives - 1)})
                                   .lines.value(0).mid(7);
        CddbTestServer server;
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("jazz"), discId, QStringLiteral("x")));
        server.setEntry(QStringLiteral("jazz"), discId, "DTITLE=Quartet / Live\nTTITLE1=Encore\n");
        IniFile ini;
        ini.write(settings::cddbServer, server.address());
        ini.write(settings::cdUnit, m_drives - 2);
        const Run found = cli({QStringLiteral("lookup")});
        QCOMPARE(found.status, 0);
        QCOMPARE(found.lines, (QStringList{"artist: Quartet", "album: Live", "genre: jazz", "1: ", "2: Encore"}));

        server.setQueryReply(CddbTestServer::noMatch());
        const Run missing = cli({QStringLiteral("lookup")});
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.lines.isEmpty());
        QVERIFY(missing.errors.contains(QStringLiteral("Could not find freedb info!")));
    }

    void looksUpLocally()
    {
        const Run run = cli({QStringLiteral("lookup"), QStringLiteral("--local"), QStringLiteral("--drive"),
                             QString::number(m_drives - 1)});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines, (QStringList{"artist: Band", "album: Record", "genre: ", "1: Alpha", "2: Beta"}));
        QCOMPARE(cli({QStringLiteral("lookup"), QStringLiteral("--local"), QStringLiteral("--drive"),
                      QString::number(m_drives)}).status, 1);
    }

private:
    QString m_first;
    QString m_second;
    int m_drives = 0;
};

HARVELO_TEST_MAIN(TestCliDiscCommands, QCoreApplication)
#include "tst_cli_disc_commands.moc"
