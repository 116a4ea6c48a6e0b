#include "disc/audio_grabber.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/lookup/freedb_fixture.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

using Behaviour = CddbTestServer::Behaviour;

namespace {

// A disc whose table of contents is the one the entry was made from; no audio is stored.
QString imageForEntry(const EntryToc &toc)
{
    QList<CdImageTrack> tracks;
    for (qsizetype i = 0; i < toc.offsets.size(); ++i) {
        const int end = i + 1 < toc.offsets.size() ? toc.offsets[i + 1] : toc.seconds * 75;
        tracks.append(CdImageTrack{int64_t(end - toc.offsets[i]) * 588});
    }
    CdImageOptions options;
    options.sparse = true;
    options.firstPregapSectors = toc.offsets.value(0) - 150;
    return makeCdImage(testEnv().makeDir(QStringLiteral("entry")), tracks, {}, {}, options);
}

void loadDisc(AudioGrabber &grabber, const QString &cue)
{
    setCdDevices({cue});
    grabber.setDriveNum(grabber.driveCount());
    grabber.ReadTOC();
}

void pointAt(AudioGrabber &grabber, const CddbTestServer &server, int timeoutMs = 5000)
{
    grabber.setCddbServerAddress(server.address());
    grabber.setCddbCGIScript(QStringLiteral("/~cddb/cddb.cgi"));
    grabber.setCddbTimeOut(timeoutMs);
}

QString titleOf(AudioGrabber &grabber, int track)
{
    grabber.setTrackNum(track);
    return grabber.trackTitle();
}

} // namespace

class TestCddbLookup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // These tests ask the CDDB server alone.
    void initTestCase() { IniFile().write(settings::musicBrainz, QStringLiteral("no")); }

    void realEntries_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("discId");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("lastTitle");
        QTest::newRow("Beethoven") << "peik-6f0c6509.xmcd" << "6f0c6509" << "Beethoven"
                                   << "III. Allegro ma non troppo; Presto";
        QTest::newRow("Everett") << "peik-12025d03.xmcd" << "12025d03"
                                 << "Ernest Ray Everett - Single CD" << "If You Don't Like Country";
        QTest::newRow("Ska Island") << "netcddb-d50dd30f.xmcd" << "d50dd30f" << "Various"
                                    << "Keep On Running";
        QTest::newRow("Angels Fall First") << "peik-770bf909.xmcd" << "770bf909" << "Nightwish"
                                           << "Lappi (Lapland)";
        QTest::newRow("Once") << "peik-840e160b.xmcd" << "840e160b" << "Nightwish" << "Higher Than Hope";
        QTest::newRow("Van Halen") << "peik-8608460b.xmcd" << "8608460b" << "Van Halen" << "On Fire";
        QTest::newRow("Mozart") << "peik-9c0eac0c.xmcd" << "9c0eac0c" << "Mozart"
                                << "Symphony No. 41 in C (Jupiter), 1st Movement";
        QTest::newRow("Latin-1") << "harvelo-6a09fc09-iso8859-1.xmcd" << "6a09fc09"
                                 << QStringLiteral("S\u00e4\u00e4ksivuori") << QStringLiteral("Hyv\u00e4sti Pime\u00e4");
    }
    // The grabber computes the disc's real freedb ID, asks for it with the disc's offsets and
    // length, and takes the names from the entry the server sends.
    void realEntries()
    {
        QFETCH(QString, file);
        QFETCH(QString, discId);
        const QByteArray entry = freedbEntry(file);
        const EntryToc toc = entryToc(entry);
        AudioGrabber grabber;
        loadDisc(grabber, imageForEntry(toc));
        QCOMPARE(grabber.trackCount(), toc.offsets.size());
        QCOMPARE(grabber.discId(), discId);

        CddbTestServer server;
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("misc"), discId, QStringLiteral("x")));
        server.setEntry(QStringLiteral("misc"), discId, entry);
        pointAt(grabber, server);
        QVERIFY(grabber.QueryDiscInfo(1));
        QTEST(grabber.discArtist(), "artist");
        QTEST(titleOf(grabber, grabber.trackCount()), "lastTitle");

        QStringList offsets;
        for (int offset : toc.offsets)
            offsets.append(QString::number(offset));
        QCOMPARE(server.commands().value(0), QStringLiteral("cddb query %1 %2 %3 %4")
                                                  .arg(discId)
                                                  .arg(toc.offsets.size())
                                                  .arg(offsets.join(QLatin1Char(' ')))
                                                  .arg(toc.seconds));
        QCOMPARE(server.commands().value(1), QStringLiteral("cddb read misc ") + discId);
    }

    void replies_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QByteArray>("queryReply");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("album");
        const QByteArray exact = CddbTestServer::exactMatch("rock", "DISCID", "A / First");
        const QStringList matches{"rock DISCID A / First", "jazz DISCID A / Second"};
        QTest::newRow("exact") << int(Behaviour::Answer) << exact << true << "First";
        QTest::newRow("exact list") << int(Behaviour::Answer) << CddbTestServer::matchList(210, matches)
                                    << true << "First";
        QTest::newRow("inexact list") << int(Behaviour::Answer) << CddbTestServer::matchList(211, matches)
                                      << true << "First";
        QTest::newRow("inexact, other category")
            << int(Behaviour::Answer) << CddbTestServer::matchList(211, {matches[1], matches[0]}) << true
            << "Second";
        QTest::newRow("no match") << int(Behaviour::Answer) << CddbTestServer::noMatch() << false << "";
        QTest::newRow("empty list") << int(Behaviour::Answer) << CddbTestServer::matchList(211, {})
                                    << false << "";
        QTest::newRow("entry missing") << int(Behaviour::Answer)
                                       << CddbTestServer::exactMatch("blues", "DISCID", "x") << false << "";
        QTest::newRow("handshake refused") << int(Behaviour::Answer) << QByteArray("409 No handshake\r\n")
                                           << false << "";
        QTest::newRow("server error") << int(Behaviour::HttpError) << exact << false << "";
        QTest::newRow("garbage") << int(Behaviour::Garbage) << exact << false << "";
        QTest::newRow("not HTTP") << int(Behaviour::NotHttp) << exact << false << "";
    }
    void replies()
    {
        QFETCH(int, behaviour);
        QFETCH(QByteArray, queryReply);
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("replies")),
                                      {CdImageTrack{588 * 80}, CdImageTrack{588 * 90}}));
        const QByteArray discId = grabber.discId().toLatin1();
        CddbTestServer server;
        server.setBehaviour(Behaviour(behaviour));
        server.setQueryReply(queryReply.replace("DISCID", discId));
        server.setEntry(QStringLiteral("rock"), grabber.discId(), "DTITLE=A / First\nTTITLE1=Two\n");
        server.setEntry(QStringLiteral("jazz"), grabber.discId(), "DTITLE=A / Second\nTTITLE1=Deux\n");
        pointAt(grabber, server);
        QTEST(grabber.QueryDiscInfo(1), "found");
        QTEST(grabber.discAlbum(), "album");
        QVERIFY(!server.requestHeads().isEmpty());
        const QByteArray head = server.requestHeads().first();
        QVERIFY(head.startsWith("GET /~cddb/cddb.cgi?cmd=cddb+query+" + discId + "+2+150+230+"));
        QVERIFY(head.contains("+Harvelo+") && head.contains("&proto=6"));
        QVERIFY(head.contains("\r\nHost: 127.0.0.1:"));
    }

    void errorsAreTold_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QByteArray>("queryReply");
        QTest::addColumn<QString>("told");
        QTest::newRow("a client the server refuses") << int(Behaviour::Answer) << QByteArray("500 Unknown developer email\r\n")
                                                     << "500 Unknown developer email";
        QTest::newRow("HTTP 500") << int(Behaviour::HttpError) << QByteArray() << "500 Internal Server Error";
        QTest::newRow("no match") << int(Behaviour::Answer) << CddbTestServer::noMatch() << "202 No match found";
        QTest::newRow("entry missing") << int(Behaviour::Answer) << CddbTestServer::exactMatch("blues", "DISCID", "x")
                                       << "401 blues DISCID No such CD entry in database";
        QTest::newRow("no CDDB reply") << int(Behaviour::Garbage) << QByteArray() << "the reply is no CDDB answer";
        QTest::newRow("silent") << int(Behaviour::NeverAnswer) << QByteArray() << "no usable answer within 600 ms";
    }
    // What the server answered, in a line for the command line and the log; the hello names
    // Harvelo whatever the answer.
    void errorsAreTold()
    {
        QFETCH(int, behaviour);
        QFETCH(QByteArray, queryReply);
        QFETCH(QString, told);
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("told")), {CdImageTrack{588 * 80}}));
        CddbTestServer server;
        server.setBehaviour(Behaviour(behaviour));
        server.setQueryReply(queryReply.replace("DISCID", grabber.discId().toLatin1()));
        pointAt(grabber, server, 600);
        QVERIFY(!grabber.QueryDiscInfo(1));
        QCOMPARE(grabber.onlineAnswers(), QStringList{"127.0.0.1: " + told.replace("DISCID", grabber.discId())});
        QVERIFY(server.requestHeads().value(0).contains("+Harvelo+"));
    }

    void timeOutBoundsTheWholeExchange_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::newRow("silent server") << int(Behaviour::NeverAnswer);
        QTest::newRow("silent on read") << int(Behaviour::QueryOnly);
    }
    void timeOutBoundsTheWholeExchange()
    {
        QFETCH(int, behaviour);
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("timeout")), {CdImageTrack{588 * 80}}));
        CddbTestServer server;
        server.setBehaviour(Behaviour(behaviour));
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("rock"), grabber.discId(), "x"));
        pointAt(grabber, server, 600);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!grabber.QueryDiscInfo(1));
        QVERIFY2(clock.elapsed() >= 500 && clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }

    void hostileServers_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("atLeastMs");
        QTest::newRow("256 MB entry") << int(Behaviour::Flood) << 5000 << 0;
        QTest::newRow("256 MB entry, length announced") << int(Behaviour::FloodAnnounced) << 5000 << 0;
        QTest::newRow("one byte a second") << int(Behaviour::Drip) << 2000 << 1900;
    }
    // A reply is refused once it passes 1 MiB, not after it has all arrived, and a server
    // that never finishes is dropped at the time-out.
    void hostileServers()
    {
        QFETCH(int, behaviour);
        QFETCH(int, timeoutMs);
        QFETCH(int, atLeastMs);
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("hostile")), {CdImageTrack{588 * 80}}));
        CddbTestServer server;
        server.setBehaviour(Behaviour(behaviour));
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("misc"), grabber.discId(), "x"));
        pointAt(grabber, server, timeoutMs);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!grabber.QueryDiscInfo(1));
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= atLeastMs && elapsed < timeoutMs + 1000,
                 qPrintable(QString::number(elapsed)));
        QVERIFY2(server.mostBytesSent() < CddbTestServer::kFloodBytes / 4,
                 qPrintable(QString::number(server.mostBytesSent())));
    }

    void longNames_data()
    {
        QTest::addColumn<QByteArray>("artist");
        QTest::addColumn<QString>("shownArtist");
        const QByteArray emojis = QByteArray("\xF0\x9F\x8E\xB5").repeated(4000);
        QTest::newRow("10,000 letters") << QByteArray(10000, 'x') << QString(1024, QLatin1Char('x'));
        QTest::newRow("just under 1 MiB") << QByteArray(1000000, 'y') << QString(1024, QLatin1Char('y'));
        QTest::newRow("pair at the cut") << "a" + emojis
                                         << QString::fromUtf8("a" + emojis).left(1023);
        QTest::newRow("controls kept") << QByteArray("Bell\x07 Esc\x1b Del\x7f")
                                       << QString::fromUtf8("Bell\x07 Esc\x1b Del\x7f");
    }
    // Names reach the window at most 1,024 characters long, cut between characters.
    void longNames()
    {
        QFETCH(QByteArray, artist);
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("long")), {CdImageTrack{588 * 80}}));
        CddbTestServer server;
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("misc"), grabber.discId(), "x"));
        server.setEntry(QStringLiteral("misc"), grabber.discId(),
                        "DTITLE=" + artist + " / Album\nTTITLE0=" + artist.left(20000) + "\n");
        pointAt(grabber, server);
        QVERIFY(grabber.QueryDiscInfo(1));
        QTEST(grabber.discArtist(), "shownArtist");
        QTEST(titleOf(grabber, 1), "shownArtist");
        QCOMPARE(grabber.discAlbum(), QStringLiteral("Album"));
    }

    void noServerNoDisc()
    {
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("refused")), {CdImageTrack{588 * 80}}));
        quint16 closedPort = 0;
        {
            CddbTestServer gone;
            closedPort = quint16(gone.address().section(QLatin1Char(':'), 1).toUInt());
        }
        grabber.setCddbServerAddress(QStringLiteral("127.0.0.1:%1").arg(closedPort));
        QVERIFY(!grabber.QueryDiscInfo(1));

        CddbTestServer server;
        pointAt(grabber, server);
        grabber.setDriveNum(0);
        grabber.ReadTOC();
        QVERIFY(!grabber.QueryDiscInfo(1));
        QVERIFY(server.commands().isEmpty());
    }

    void worksFromAWorkerThread()
    {
        AudioGrabber grabber;
        loadDisc(grabber, makeCdImage(testEnv().makeDir(QStringLiteral("thread")), {CdImageTrack{588 * 80}}));
        CddbTestServer server;
        server.setQueryReply(CddbTestServer::exactMatch(QStringLiteral("folk"), grabber.discId(), "x"));
        server.setEntry(QStringLiteral("folk"), grabber.discId(), "DTITLE=Far / Away\nTTITLE0=Only\n");
        pointAt(grabber, server);
        bool found = false;
        std::unique_ptr<QThread> worker(QThread::create([&] { found = grabber.QueryDiscInfo(1); }));
        worker->start();
        QVERIFY(worker->wait(10000));
        QVERIFY(found);
        QCOMPARE(grabber.discGenre(), QStringLiteral("folk"));
        QCOMPARE(titleOf(grabber, 1), QStringLiteral("Only"));
    }
};

HARVELO_TEST_MAIN(TestCddbLookup, QCoreApplication)
#include "tst_cddb_lookup.moc"
