#include "disc/audio_grabber.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
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
        QCOMPARE(run.outLines().size(), 6);
        QVERIFY(QRegularExpression(QStringLiteral("^discid [0-9a-f]{8}$")).match(run.outLines()[0]).hasMatch());
        QCOMPARE(run.outLines().mid(1, 3), (QStringList{"tracks 2", "1 1000 44100", "2 400 17640"}));
        // Worked by hand: tracks at sectors 0 and 75, lead-out at 105; the sums are
        // 0 + 75 + 105 = 0xb4 and 1 * 1 + 75 * 2 + 105 * 3 = 0x1d2.
        QCOMPARE(run.outLines()[4], QStringLiteral("accuraterip 002-000000b4-000001d2-") + run.outLines()[0].mid(7));
        // The MusicBrainz ID of the same TOC, made with Python's hashlib and base64 after the
        // MusicBrainz "Disc ID Calculation" page (SHA-1 of the hex TOC, "+/=" as "._-").
        QCOMPARE(run.outLines()[5], QStringLiteral("musicbrainz 1D9iw73YJzpv6K_vin9txgiD1gY-"));
        QCOMPARE(cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives + 1)}).status, 1);
    }

    // A listed device that does not exist makes libcdio warn at every listing; standard
    // output carries only what the command prints.
    void libcdioWarningsStayOffStandardOutput()
    {
        const QString missing = testEnv().makeDir(QStringLiteral("gone")) + QStringLiteral("/no-drive");
        setCdDevices({missing, m_first}); // drives m_drives - 1 and m_drives
        const ProcessResult toc = cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives)});
        const ProcessResult drives = cli({QStringLiteral("drives")});
        setCdDevices({m_first, m_second});
        QCOMPARE(toc.status, 0);
        QCOMPARE(toc.outLines().mid(1, 3), (QStringList{"tracks 2", "1 1000 44100", "2 400 17640"}));
        QVERIFY2(toc.outLines().value(0).startsWith(QStringLiteral("discid ")), toc.out.constData());
        QCOMPARE(drives.status, 0);
        QCOMPARE(drives.outLines().size(), m_drives);
        QCOMPARE(drives.outLines().last(), QStringLiteral("%1\t%2\tone.cue").arg(m_drives).arg(m_first));
        QVERIFY2(!drives.out.contains("WARN"), drives.out.constData());
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
        ini.write(settings::musicBrainz, QStringLiteral("no"));
        ini.write(settings::cddbServer, server.address());
        ini.write(settings::cdUnit, m_drives - 2);
        const ProcessResult found = cli({QStringLiteral("lookup")});
        QCOMPARE(found.status, 0);
        QCOMPARE(found.outLines(), (QStringList{"artist: Quartet", "album: Live", "genre: jazz", "year: ",
                                                "source: CDDB jazz " + discId, "1: ", "2: Encore"}));

        server.setQueryReply(CddbTestServer::noMatch());
        const ProcessResult missing = cli({QStringLiteral("lookup")});
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.outLines().isEmpty());
        QCOMPARE(QString::fromUtf8(missing.err), QStringLiteral("harvelo-cli: 127.0.0.1: 202 No match found\n"
                                                                "harvelo-cli: Could not find freedb info!\n"));
    }

    void lookupIsBounded_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QByteArray>("artist");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("printed");
        QTest::newRow("256 MB entry") << int(CddbTestServer::Behaviour::Flood) << QByteArray() << 1 << "";
        QTest::newRow("10,000 letters") << int(CddbTestServer::Behaviour::Answer) << QByteArray(10000, 'z')
                                        << 0 << "artist: " + QString(1024, QLatin1Char('z'));
    }
    // The command-line lookup takes no more from a server than the window does.
    void lookupIsBounded()
    {
        QFETCH(int, behaviour);
        QFETCH(QByteArray, artist);
        const QString discId = cli({QStringLiteral("toc"), QStringLiteral("--drive"), QString::number(m_drives - 1)})
                                   .outLines().value(0).mid(7);
        CddbTestServer server;
        server.setBehaviour(CddbTestServer::Behaviour(behaviour));
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("misc"), discId, QStringLiteral("x")));
        server.setEntry(QStringLiteral("misc"), discId, "DTITLE=" + artist + " / Live\n");
        IniFile ini;
        ini.write(settings::musicBrainz, QStringLiteral("no"));
        ini.write(settings::cddbServer, server.address());
        ini.write(settings::cddbTimeout, 4000);
        ini.write(settings::cdUnit, m_drives - 2);
        QElapsedTimer clock;
        clock.start();
        const ProcessResult run = cli({QStringLiteral("lookup")});
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QTEST(run.status, "status");
        QTEST(run.outLines().value(0), "printed");
        if (run.status != 0)
            QVERIFY(QString::fromUtf8(run.err).contains(QStringLiteral("Could not find freedb info!")));
        QVERIFY2(server.mostBytesSent() < CddbTestServer::kFloodBytes / 4,
                 qPrintable(QString::number(server.mostBytesSent())));
    }

    void looksUpLocally()
    {
        const ProcessResult run = cli({QStringLiteral("lookup"), QStringLiteral("--local"), QStringLiteral("--drive"),
                             QString::number(m_drives - 1)});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.outLines(), (QStringList{"artist: Band", "album: Record", "genre: ", "year: ", "source: CD-Text",
                                              "1: Alpha", "2: Beta"}));
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
