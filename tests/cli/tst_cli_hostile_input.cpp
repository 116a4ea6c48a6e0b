#include "disc/audio_grabber.h"
#include "disc/image/cd_image.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QtTest>

namespace {

ProcessResult cli(const QStringList &args)
{
    return runProgram(QStringLiteral(HARVELO_CLI), args);
}

QStringList linesOf(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'));
}

} // namespace

// harvelo-cli against names from a hostile CDDB server and a settings file that is not what
// the program writes: names stay on their lines in the terminal, the log and the cue sheet,
// tags keep them as they came, and the settings never send files elsewhere.
class TestCliHostileInput : public QObject {
    Q_OBJECT
    QString m_disc;
    QString m_discId;

    QStringList ripArgs(const QString &out) const
    {
        QStringList args{"rip", "--device", m_disc, "--tracks", "1", "--format", "wav"};
        return out.isEmpty() ? args : args + QStringList{"--output", out};
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("disc"));
        m_disc = makeCdImage(dir, {{cdFramesForMs(300), QStringLiteral("Alpha")}, {cdFramesForMs(200)}},
                             QStringLiteral("Band"), QStringLiteral("Record"));
        setCdDevices({m_disc});
        const QString drive = QString::number(AudioGrabber().driveCount());
        m_discId = cli({"toc", "--drive", drive}).outLines().value(0).mid(7);
        QCOMPARE(m_discId.size(), 8);
    }

    void init() { testEnv().clearIni(); }

    void namesFromAServer_data()
    {
        QTest::addColumn<QByteArray>("entry"); // TTITLE0 as the server sends it, xmcd escapes and all
        QTest::addColumn<QString>("listed");   // by "lookup"
        QTest::addColumn<QString>("shown");    // in the rip's progress and log
        QTest::addColumn<QString>("file");     // of track 1 under naming rule 0
        QTest::addColumn<QString>("inCue");    // as the rip's cue sheet reads back
        QTest::addColumn<QString>("tag");      // the file's title tag
        const QString forged = "Song\u240AAccurateRip: accurate (confidence 200)";
        QTest::newRow("forged log line") << QByteArray("Song\\nAccurateRip: accurate (confidence 200)")
            << forged << forged << "SongAccurateRip= accurate (confidence 200).wav" << forged
            << "Song\nAccurateRip: accurate (confidence 200)";
        QTest::newRow("carriage return") << QByteArray("Over\rwritten") << "Over\u240Dwritten"
            << "Over\u240Dwritten" << "Overwritten.wav" << "Over\u240Dwritten" << "Over\rwritten";
        const QString escaped = "\u241B]0;owned\u2407\u241B[2JClear";
        QTest::newRow("terminal escapes") << QByteArray("\x1b]0;owned\x07\x1b[2JClear") << escaped << escaped
            << "]0;owned[2JClear.wav" << escaped << "\x1b]0;owned\x07\x1b[2JClear";
        QTest::newRow("closing backslash") << QByteArray("Back\\\\") << "Back\\" << "Back\\" << "Back#.wav"
            << "Back\\" << "Back\\";
        QTest::newRow("quotes, double blanks") << QByteArray("Say \"hi\"  twice") << "Say \"hi\"  twice"
            << "Say \"hi\"  twice" << "Say #hi#  twice.wav" << "Say 'hi'  twice" << "Say \"hi\"  twice";
        QTest::newRow("only NUL") << QByteArray(1, '\0') << "\u2400" << "Track1" << "Track1.wav"
            << "Track1" << "Track1";
    }
    void namesFromAServer()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QString, shown);
        QFETCH(QString, file);
        CddbTestServer server;
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("rock"), m_discId, QStringLiteral("x")));
        server.setEntry(QStringLiteral("rock"), m_discId, "DTITLE=Band / Album\nTTITLE0=" + entry + "\nTTITLE1=Two\n");
        IniFile ini;
        ini.write(settings::musicBrainz, QStringLiteral("no")); // the names come from CDDB alone
        ini.write(settings::cddbServer, server.address());
        ini.write(settings::accurateRipServer, server.address()); // 404: the disc is not known
        ini.write(settings::cdUnit, AudioGrabber().driveCount() - 1);

        const ProcessResult lookup = cli({"lookup"});
        QCOMPARE(lookup.status, 0);
        QFETCH(QString, listed);
        QCOMPARE(lookup.outLines(), (QStringList{"artist: Band", "album: Album", "genre: rock", "year: ",
                                                 "source: CDDB rock " + m_discId, "1: " + listed, "2: Two"}));

        const QString out = testEnv().makeDir(QString::fromLatin1(QTest::currentDataTag()));
        const ProcessResult rip = cli(ripArgs(out) << "--lookup");
        QVERIFY2(rip.status == 0, rip.err.constData());
        const QStringList progress = linesOf(rip.err);
        QVERIFY2(progress.indexOf(QRegularExpression("^track 1 of 1: " + QRegularExpression::escape(shown)
                                                     + " \\([0-9.]+MB\\)$")) >= 0, rip.err.constData());
        QVERIFY(progress.filter(QRegularExpression("^AccurateRip")).isEmpty());
        QTEST(probeAudio(QDir(out).filePath(file)).tags.value("title"), "tag");

        const QString log = QString::fromUtf8(fileBytes(QDir(out).filePath("Album.log")));
        QVERIFY2(log.contains("\nTrack 1: " + shown + "\n  File: " + QDir(out).filePath(file) + "\n"), qPrintable(log));
        QCOMPARE(log.count("\n    AccurateRip: "), 1); // the track's own verdict line, under "Read from the disc:"
        QVERIFY(!log.contains("\nAccurateRip: "));
        QVERIFY(log.contains("\nSummary: 0 of 1 tracks accurate; "));
        QString error;
        const auto cue = readCueSheet(fileBytes(QDir(out).filePath("Album.cue")), out, &error);
        QVERIFY2(cue, qPrintable(error));
        QTEST(cue->text.titles.value(0), "inCue");
    }

    // A stored output folder whose name is not UTF-8: refused, and no look-alike folder made.
    void outputFolderNotUtf8()
    {
        const QString parent = testEnv().makeDir(QStringLiteral("latin1"));
        IniFile().write(settings::outputDirectory, parent + "/caf@");
        QByteArray ini = fileBytes(testEnv().iniPath());
        QVERIFY(writeFileBytes(testEnv().iniPath(), ini.replace("caf@", "caf\xe9")));
        const ProcessResult rip = cli(ripArgs({}));
        QCOMPARE(rip.status, 1);
        QCOMPARE(QString::fromUtf8(rip.err), "harvelo-cli: The \"output directory\" of " + testEnv().iniPath()
                                                 + " is not UTF-8 text: choose it again in the settings.\n");
        QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(fileBytes(testEnv().iniPath()), ini);
    }

    // A 3 MB settings file: read as far as the limit, said once, and left as it is.
    void oversizedSettingsFile()
    {
        QByteArray padding;
        while (padding.size() < 3 * IniFile::maxFileBytes)
            padding += "; " + QByteArray(97, 'x') + '\n';
        // Read: where the proof is checked. Past the limit: a "no" that would stop the log.
        const QByteArray ini = "[cddb]\naccuraterip server=127.0.0.1:9\n" + padding
                               + "[output format]\nwrite log=no\n";
        QVERIFY(writeFileBytes(testEnv().iniPath(), ini));
        const QString out = testEnv().makeDir(QStringLiteral("oversized"));
        const ProcessResult rip = cli(ripArgs(out));
        QVERIFY2(rip.status == 0, rip.err.constData());
        QCOMPARE(QString::fromUtf8(rip.err).count(" is larger than 1024 KiB"), 1);
        QVERIFY(QFile::exists(QDir(out).filePath("Record.log")));
        QCOMPARE(fileBytes(testEnv().iniPath()), ini);
    }
};

HARVELO_TEST_MAIN(TestCliHostileInput, QCoreApplication)
#include "tst_cli_hostile_input.moc"
