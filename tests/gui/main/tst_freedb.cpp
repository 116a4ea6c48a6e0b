#include "gui/main/harvelo_application.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/gui/main/disc_window.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QTcpServer>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

constexpr int64_t kSector = 588;
const QString kScript = QStringLiteral("/test/cddb.cgi");

QByteArray entry(const QString &genre)
{
    return QStringLiteral("# xmcd\n#\nDTITLE=Looked Artist / Looked Album\nDYEAR=1999\n"
                          "DGENRE=%1\nTTITLE0=Alpha\nTTITLE1=\nTTITLE2=Gamma\nEXTD=\n")
        .arg(genre)
        .toUtf8();
}

// A loopback address where nothing listens.
QString closedAddress()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

// These tests ask the CDDB server alone (tst_release_lookup asks MusicBrainz).
void pointGrabberAt(const QString &address, int timeoutMs)
{
    IniFile ini;
    ini.write(settings::musicBrainz, QStringLiteral("no"));
    ini.write(settings::cddbServer, address);
    ini.write(settings::cgiScript, kScript);
    ini.write(settings::cddbTimeout, timeoutMs);
}

} // namespace

class TestFreedb : public QObject {
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    DiscWindow m_window;
    std::unique_ptr<CddbTestServer> m_server;

    // The entry the server holds for the disc in the window, as an exact match.
    void serve(const QString &genre)
    {
        const QString id = fm_main->AudioGrabber.discId();
        m_server->setQueryReply(CddbTestServer::exactMatch("misc", id, "Looked Artist / Looked Album"));
        m_server->setEntry("misc", id, entry(genre));
    }

    // Typed fields, an edited name and cleared ticks that a lookup either replaces or keeps.
    void userChanges()
    {
        fm_main->skedt_artist->setText("Typed Artist");
        fm_main->skedt_album->setText("Typed Album");
        DiscWindow::row(1)->setText(1, "Edited");
        DiscWindow::row(0)->setCheckState(0, Qt::Unchecked);
        fm_main->skcb_genre->setCurrentIndex(5);
    }

    void expectUserChangesKept()
    {
        QCOMPARE(fm_main->skedt_artist->text(), QString("Typed Artist"));
        QCOMPARE(fm_main->skedt_album->text(), QString("Typed Album"));
        QCOMPARE(DiscWindow::column(1), (QStringList{"One", "Edited", "Three"}));
        QCOMPARE(DiscWindow::tickedRows(), 2);
        QCOMPARE(fm_main->skcb_genre->currentIndex(), 5);
    }

private Q_SLOTS:
    void init()
    {
        testEnv().clearIni();
        m_prompter.clear();
        m_desktop.clear();
        m_server = std::make_unique<CddbTestServer>();
        DiscWindow::insertDisc({{cdFramesForMs(2000), "One"}, {cdFramesForMs(2000), "Two"},
                                {cdFramesForMs(2000), "Three"}});
        m_window.start();
        // The start writes the grabber's own server; the lookups here go to the test server.
        pointGrabberAt(m_server->address(), 5000);
    }
    void cleanup()
    {
        m_window.stop();
        m_server.reset();
    }

    void successReplacesTypedNamesEditsAndTicks()
    {
        serve("Rock");
        userChanges();
        QTest::mouseClick(fm_main->btn_freedb, Qt::LeftButton);
        QVERIFY2(m_prompter.boxes.isEmpty(), qPrintable(m_prompter.texts().join('|')));
        QCOMPARE(fm_main->skedt_artist->text(), QString("Looked Artist"));
        QCOMPARE(fm_main->skedt_album->text(), QString("Looked Album"));
        QCOMPARE(DiscWindow::column(0), (QStringList{"1.", "2.", "3."}));
        QCOMPARE(DiscWindow::column(1), (QStringList{"Alpha", "Track2", "Gamma"}));
        QCOMPARE(DiscWindow::column(2), (QStringList{"0:02", "0:02", "0:02"}));
        QCOMPARE(DiscWindow::tickedRows(), 3);
        QCOMPARE(fm_main->skcb_genre->currentIndex(), 17);
        QVERIFY(!fm_main->freedb_refresh);

        // The grabber got the stored script and time-out.
        QCOMPARE(fm_main->AudioGrabber.cddbTimeOut(), 5000);
        QCOMPARE(fm_main->AudioGrabber.cddbServerAddress(), m_server->address());
        const QList<QByteArray> heads = m_server->requestHeads();
        QCOMPARE(heads.size(), 2);
        QVERIFY(heads.first().startsWith("GET " + kScript.toLatin1() + "?"));
        QVERIFY(m_server->commands().last().startsWith("cddb read misc "));
    }

    void lookedUpGenre_data()
    {
        QTest::addColumn<QString>("genre");
        QTest::addColumn<int>("selected");
        QTest::newRow("lower") << "jazz" << 8;
        QTest::newRow("upper") << "JAZZ" << 8;
        QTest::newRow("mixed") << "Jazz" << 8;
        QTest::newRow("unknown keeps the selection") << "Polka Metal" << 5;
    }
    void lookedUpGenre()
    {
        QFETCH(QString, genre);
        QFETCH(int, selected);
        serve(genre);
        fm_main->skcb_genre->setCurrentIndex(5);
        fm_main->btn_freedbClick();
        QVERIFY(m_prompter.boxes.isEmpty());
        QCOMPARE(fm_main->skcb_genre->currentIndex(), selected);
    }

    void failureKeepsEverything_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<CddbTestServer::Behaviour>("behaviour");
        QTest::addColumn<int>("timeoutMs");
        const auto answer = CddbTestServer::Behaviour::Answer;
        QTest::newRow("no match") << "test" << answer << 5000;
        QTest::newRow("no server") << "closed" << answer << 5000;
        QTest::newRow("time-out") << "test" << CddbTestServer::Behaviour::NeverAnswer << 400;
        QTest::newRow("http error") << "test" << CddbTestServer::Behaviour::HttpError << 5000;
        QTest::newRow("garbage") << "test" << CddbTestServer::Behaviour::Garbage << 5000;
    }
    void failureKeepsEverything()
    {
        QFETCH(QString, server);
        QFETCH(CddbTestServer::Behaviour, behaviour);
        QFETCH(int, timeoutMs);
        m_server->setQueryReply(CddbTestServer::noMatch());
        m_server->setBehaviour(behaviour);
        pointGrabberAt(server == "closed" ? closedAddress() : m_server->address(), timeoutMs);
        userChanges();
        QTest::mouseClick(fm_main->btn_freedb, Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList{"Could not find freedb info!"});
        QCOMPARE(m_prompter.boxes.first().kind, Prompter::Kind::Information);
        QCOMPARE(m_prompter.boxes.first().buttons, Prompter::Buttons::Ok);
        expectUserChangesKept();
        QVERIFY(!fm_main->freedb_refresh);
    }

    void openEditIsCommittedFirst()
    {
        m_server->setQueryReply(CddbTestServer::noMatch());
        DiscWindow::doubleClickAt(DiscWindow::cellPoint(2, 100));
        QVERIFY(fm_main->Edit1->isVisible());
        fm_main->Edit1->setText("Kept Edit");
        // The image buttons take no focus from a click: only the command ends the edit.
        QTest::mouseClick(fm_main->btn_freedb, Qt::LeftButton);
        QVERIFY(fm_main->Edit1->isHidden());
        QCOMPARE(m_prompter.texts(), QStringList{"Could not find freedb info!"});
        QCOMPARE(DiscWindow::row(2)->text(1), QString("Kept Edit"));
    }

    void playbackIsStoppedOnlyWithConsent_data()
    {
        QTest::addColumn<Prompter::Answer>("answer");
        QTest::newRow("no") << Prompter::Answer::No;
        QTest::newRow("yes") << Prompter::Answer::Yes;
    }
    void playbackIsStoppedOnlyWithConsent()
    {
        QFETCH(Prompter::Answer, answer);
        serve("Rock");
        fm_main->sklv_main->setCurrentItem(DiscWindow::row(0));
        fm_main->btn_playClick();
        QVERIFY(fm_main->playing);
        m_prompter.answers.enqueue(answer);
        fm_main->btn_freedbClick();
        QCOMPARE(m_prompter.texts(), QStringList{"CD Playing will be stopped,do you want to continue?"});
        const bool yes = answer == Prompter::Answer::Yes;
        QCOMPARE(fm_main->playing, !yes);
        QCOMPARE(m_server->commands().size(), yes ? 2 : 0);
        QCOMPARE(DiscWindow::row(0)->text(1), QString(yes ? "Alpha" : "One"));
        fm_main->btn_stopClick();
    }

    void windowKeepsPaintingWhileTheServerIsSilent()
    {
        m_server->setBehaviour(CddbTestServer::Behaviour::NeverAnswer);
        pointGrabberAt(m_server->address(), 1500);
        LookupWatch watch;
        watch.freedbCommand();

        QCOMPARE(m_prompter.texts(), QStringList{"Could not find freedb info!"});
        QVERIFY2(watch.ticks >= 5, qPrintable(QString::number(watch.ticks)));
        QCOMPARE(watch.busyTicks, watch.ticks);
        QVERIFY(watch.paintsSeen >= 2);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void hostileServerEndsWithinTheTimeOut_data()
    {
        QTest::addColumn<CddbTestServer::Behaviour>("behaviour");
        QTest::newRow("256 MB entry") << CddbTestServer::Behaviour::Flood;
        QTest::newRow("one byte a second") << CddbTestServer::Behaviour::Drip;
    }
    // A server that floods or trickles costs the window nothing: the lookup ends within the
    // time-out and a second, the window paints meanwhile, and nothing it sent is shown.
    void hostileServerEndsWithinTheTimeOut()
    {
        QFETCH(CddbTestServer::Behaviour, behaviour);
        serve("Rock");
        m_server->setBehaviour(behaviour);
        constexpr int kTimeoutMs = 2000;
        pointGrabberAt(m_server->address(), kTimeoutMs);
        userChanges();
        LookupWatch watch;
        const qint64 elapsed = watch.freedbCommand();

        QVERIFY2(elapsed < kTimeoutMs + 1000, qPrintable(QString::number(elapsed)));
        QCOMPARE(m_prompter.texts(), QStringList{"Could not find freedb info!"});
        expectUserChangesKept();
        // Timer ticks of 100 ms went on through the lookup (half of them, on a busy machine).
        QVERIFY2(watch.ticks >= elapsed / 200, qPrintable(QString::number(watch.ticks)));
    }
};

HARVELO_TEST_MAIN(TestFreedb, HarveloApplication)
#include "tst_freedb.moc"
