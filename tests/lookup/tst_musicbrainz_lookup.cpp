#include "disc/audio_grabber.h"
#include "disc/disc_codes.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/musicbrainz_fixture.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QSslSocket>
#include <QtTest>

using Behaviour = CddbTestServer::Behaviour;
Q_DECLARE_METATYPE(QList<MbRelease>)

namespace {

// The disc every test looks up: three tracks of 60, 70 and 80 seconds.
const QList<qint64> kLengths{60000, 70000, 80000};

QList<MbTrack> tracks(const QStringList &titles, qint64 skewMs = 0)
{
    QList<MbTrack> list;
    for (qsizetype i = 0; i < titles.size(); ++i)
        list.append({titles[i], kLengths.value(i, 50000) + skewMs});
    return list;
}

// A release of one medium holding `discId` (none for a TOC lookup).
MbRelease release(const QString &key, const QString &discId, const QString &date = QStringLiteral("1999-09-13"),
                  const QString &barcode = {}, qint64 skewMs = 0)
{
    MbRelease r{key, QStringLiteral("Album ") + key, QStringLiteral("The Band"), date, QStringLiteral("GB"), barcode};
    r.media = {MbMedium{tracks({"One", "Two", "Three"}, skewMs), discId.isEmpty() ? QStringList() : QStringList{discId}}};
    return r;
}

struct Disc {
    QString cue;
    QString discId;
    QList<int> offsets;
    int sectors = 0;
};

// The image of the disc, with a catalog number when `catalog` is given.
Disc makeDisc(const QString &catalog = {})
{
    QList<CdImageTrack> list;
    for (qint64 ms : kLengths)
        list.append(CdImageTrack{cdFramesForMs(int(ms))});
    CdImageOptions options;
    options.sparse = true;
    Disc disc;
    disc.cue = makeCdImage(testEnv().makeDir(QStringLiteral("mbdisc")), list, {}, {}, options);
    if (!catalog.isEmpty())
        writeFileBytes(disc.cue, "CATALOG " + catalog.toLatin1() + "\n" + fileBytes(disc.cue));
    AudioGrabber grabber;
    setCdDevices({disc.cue});
    grabber.setDriveNum(grabber.driveCount());
    grabber.ReadTOC();
    const FreedbToc session = musicBrainzSession(grabber.toc());
    disc.discId = session.musicBrainzId();
    disc.offsets = QList<int>(session.trackOffsets.begin(), session.trackOffsets.end());
    disc.sectors = session.leadoutOffset;
    return disc;
}

void load(AudioGrabber &grabber, const Disc &disc, const CddbTestServer &server, int timeoutMs = 5000)
{
    setCdDevices({disc.cue});
    grabber.setDriveNum(grabber.driveCount());
    grabber.ReadTOC();
    grabber.setCddbServerAddress(server.address());
    grabber.setCddbCGIScript(QStringLiteral("/~cddb/cddb.cgi"));
    grabber.setCddbTimeOut(timeoutMs);
}

QStringList shownTitles(AudioGrabber &grabber)
{
    QStringList titles;
    for (int k = 1; k <= grabber.trackCount(); ++k) {
        grabber.setTrackNum(k);
        titles.append(grabber.trackTitle());
    }
    return titles;
}

} // namespace

class TestMusicBrainzLookup : public QObject {
    Q_OBJECT

    std::unique_ptr<CddbTestServer> m_server;

    // The CDDB entry the lookups fall back to.
    void serveCddb(const AudioGrabber &grabber)
    {
        m_server->setQueryReply(CddbTestServer::exactMatch(QStringLiteral("misc"), grabber.discId(), "x"));
        m_server->setEntry(QStringLiteral("misc"), grabber.discId(), "DTITLE=Cddb Band / Cddb Album\nTTITLE0=Uno\n");
    }

private Q_SLOTS:
    void init()
    {
        testEnv().clearIni();
        m_server = std::make_unique<CddbTestServer>();
        IniFile ini;
        ini.write(settings::musicBrainzServer, m_server->address());
        ini.write(settings::coverArtServer, m_server->address());
    }
    void cleanup() { m_server.reset(); }

    void namesTheDisc_data();
    void namesTheDisc();
    void asksAsDocumented();
    void serverTrouble_data();
    void serverTrouble();
    void coverArt_data();
    void coverArt();
    void anotherReleaseChosen();
    void httpsIsAvailable();
};

void TestMusicBrainzLookup::namesTheDisc_data()
{
    QTest::addColumn<QList<MbRelease>>("releases");
    QTest::addColumn<bool>("byToc");      // served only to the lookup by TOC
    QTest::addColumn<QString>("catalog"); // the disc's MCN
    QTest::addColumn<int>("chosen");      // index into releases
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("disc");    // "n/N"
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("trackArtists");

    const QString id = QStringLiteral("DISCID");
    const QStringList plain{"One", "Two", "Three"};
    const QStringList none{"", "", ""};
    QTest::newRow("single release") << QList<MbRelease>{release("a", id)} << false << "" << 0 << "The Band"
                                    << "1999-09-13" << "1/1" << plain << none;
    QTest::newRow("two releases, the barcode is the MCN")
        << QList<MbRelease>{release("a", id, "1990"), release("b", id, "2005", "602537351169")} << false
        << "0602537351169" << 1 << "The Band" << "2005" << "1/1" << plain << none;
    QTest::newRow("two releases, the closest lengths")
        << QList<MbRelease>{release("a", id, "1990", {}, 2500), release("b", id, "2005")} << false << ""
        << 1 << "The Band" << "2005" << "1/1" << plain << none;
    QTest::newRow("two releases alike, the earliest")
        << QList<MbRelease>{release("a", id, "2001"), release("b", id, ""), release("c", id, "1998-05")}
        << false << "" << 2 << "The Band" << "1998-05" << "1/1" << plain << none;

    MbRelease box{"box", "The Box", "The Band", "2010", "DE"};
    for (int m = 0; m < 4; ++m)
        box.media.append(MbMedium{tracks({QStringLiteral("D%1 one").arg(m + 1), QStringLiteral("D%1 two").arg(m + 1),
                                          QStringLiteral("D%1 three").arg(m + 1)}),
                                  m == 3 ? QStringList{id} : QStringList{QStringLiteral("other%1").arg(m)}});
    QTest::newRow("medium 4 of 4") << QList<MbRelease>{box} << false << "" << 0 << "The Band" << "2010"
                                   << "4/4" << QStringList{"D4 one", "D4 two", "D4 three"} << none;

    MbRelease various{"va", "Hits", "Various Artists", "2003"};
    various.media = {MbMedium{{{"Song", 60000, "Alice"}, {"Tune", 70000, "Bob & Carol"}, {"Air", 80000, "Dave feat. Eve"}},
                              {id}}};
    QTest::newRow("various artists") << QList<MbRelease>{various} << false << "" << 0 << "Various Artists" << "2003"
                                     << "1/1" << QStringList{"Alice / Song", "Bob & Carol / Tune", "Dave feat. Eve / Air"}
                                     << QStringList{"Alice", "Bob & Carol", "Dave feat. Eve"};
    QTest::newRow("no date") << QList<MbRelease>{release("a", id, "")} << false << "" << 0 << "The Band" << ""
                             << "1/1" << plain << none;

    MbRelease edits = release("edits", id);
    edits.media[0].tracks[0].recordingTitle = QStringLiteral("One (album version)");
    edits.media[0].tracks[2] = {"Three (single edit)", 80000, "The Band feat. Guest", "Three"};
    QTest::newRow("track titles that are not the recordings'")
        << QList<MbRelease>{edits} << false << "" << 0 << "The Band" << "1999-09-13" << "1/1"
        << QStringList{"One", "Two", "The Band feat. Guest / Three (single edit)"}
        << QStringList{"", "", "The Band feat. Guest"};

    MbRelease shorter = release("short", {});
    shorter.media[0].tracks.removeLast();
    MbRelease twoDiscs{"two", "Two Discs", "The Band", "2000"};
    twoDiscs.media = {MbMedium{tracks({"A1", "A2"})}, MbMedium{tracks({"B1", "B2", "B3"})}};
    QTest::newRow("by TOC: the medium of the disc's track count")
        << QList<MbRelease>{shorter, twoDiscs} << true << "" << 1 << "The Band" << "2000" << "2/2"
        << QStringList{"B1", "B2", "B3"} << none;
}

void TestMusicBrainzLookup::namesTheDisc()
{
    QFETCH(QList<MbRelease>, releases);
    QFETCH(bool, byToc);
    QFETCH(QString, catalog);
    QFETCH(int, chosen);
    const Disc disc = makeDisc(catalog);
    for (MbRelease &r : releases) {
        for (MbMedium &m : r.media)
            m.discIds.replaceInStrings(QStringLiteral("DISCID"), disc.discId);
    }
    if (byToc)
        m_server->setTocReply(mbTocReply(releases));
    else
        m_server->setFile(QStringLiteral("/ws/2/discid/") + disc.discId,
                          mbDiscReply(disc.discId, disc.offsets, disc.sectors, releases));
    AudioGrabber grabber;
    load(grabber, disc, *m_server);
    QVERIFY(grabber.QueryDiscInfo(1));
    const DiscNames &names = grabber.discNames();
    QCOMPARE(grabber.namesSource(), QStringLiteral("MusicBrainz release ") + releases[chosen].id());
    // By TOC, the release without a medium of three tracks is left out.
    QCOMPARE(grabber.releaseCandidates().size(), releases.size() - (byToc ? 1 : 0));
    QCOMPARE(grabber.releaseCandidates().value(grabber.chosenRelease()).names.musicBrainz.releaseId, releases[chosen].id());
    QTEST(grabber.discArtist(), "artist");
    QCOMPARE(grabber.discAlbum(), releases[chosen].title);
    QTEST(names.date, "date");
    QTEST(QStringLiteral("%1/%2").arg(names.discNumber).arg(names.discTotal), "disc");
    QTEST(shownTitles(grabber), "titles");
    QStringList own;
    for (int k = 1; k <= 3; ++k) {
        grabber.setTrackNum(k);
        own.append(grabber.trackArtist());
    }
    QTEST(own, "trackArtists");
    const int medium = names.discNumber - 1;
    QCOMPARE(names.musicBrainz.releaseGroupId, releases[chosen].releaseGroupId());
    QCOMPARE(names.musicBrainz.trackIds.value(2), releases[chosen].trackId(medium, 2));
    QCOMPARE(names.musicBrainz.recordingIds.value(0), releases[chosen].recordingId(medium, 0));
}

// The requests: the disc ID, then its TOC, each with the documented includes, a User-Agent that
// names the program, and never two within a second.
void TestMusicBrainzLookup::asksAsDocumented()
{
    const Disc disc = makeDisc();
    m_server->setTocReply(mbTocReply({release("a", {})}));
    AudioGrabber grabber;
    load(grabber, disc, *m_server);
    QVERIFY(grabber.QueryDiscInfo(1));
    QVERIFY(grabber.QueryDiscInfo(1));
    const QList<QByteArray> heads = m_server->requestHeads();
    QCOMPARE(heads.size(), 6); // disc ID, TOC, cover; twice
    const QByteArray includes = "inc=recordings+artist-credits+release-groups&fmt=json HTTP/1.1\r\n";
    QStringList offsets;
    for (int offset : disc.offsets)
        offsets.append(QString::number(offset));
    const QByteArray toc = QStringLiteral("toc=1+3+%1+%2&").arg(disc.sectors).arg(offsets.join('+')).toLatin1();
    QVERIFY2(heads[0].startsWith("GET /ws/2/discid/" + disc.discId.toLatin1() + "?" + includes), heads[0]);
    QVERIFY2(heads[1].startsWith("GET /ws/2/discid/" + disc.discId.toLatin1() + "?" + toc + includes), heads[1]);
    const QRegularExpression agent(QStringLiteral("\r\nUser-Agent: Harvelo/[0-9.]+ \\( \\S+ \\)\r\n"));
    for (const QByteArray &head : heads)
        QVERIFY2(agent.match(QString::fromLatin1(head + "\r\n")).hasMatch(), head);
    const QList<qint64> times = m_server->requestTimes();
    const QStringList paths = m_server->paths();
    for (qsizetype i = 1, last = 0; i < paths.size(); ++i) {
        if (!paths[i].startsWith(QLatin1String("/ws/2/")))
            continue;
        QVERIFY2(times[i] - times[last] >= 1000, qPrintable(QStringLiteral("%1 ms").arg(times[i] - times[last])));
        last = i;
    }
}

void TestMusicBrainzLookup::serverTrouble_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<QString>("source"); // the first word of the names' source
    QTest::addColumn<QString>("answer"); // what the lookup tells of MusicBrainz
    QTest::addColumn<int>("atLeastMs");
    const QByteArray good = "GOOD";
    QTest::newRow("503, then an answer") << int(Behaviour::UnavailableOnce) << good << 5000 << "MusicBrainz" << ""
                                         << 1000;
    QTest::newRow("a hang") << int(Behaviour::NeverAnswer) << good << 1500 << "CDDB"
                            << "no usable answer within 1500 ms" << 1400;
    QTest::newRow("malformed JSON") << int(Behaviour::Answer) << QByteArray("{\"releases\": [{\"id\": ") << 1500
                                    << "CDDB" << "the reply is no MusicBrainz disc answer" << 0;
    QTest::newRow("a 256 MB reply") << int(Behaviour::Flood) << good << 1500 << "CDDB"
                                   << "no usable answer within 1500 ms" << 0;
    // Asked twice, a second apart: by the disc ID, then by its TOC.
    QTest::newRow("an unknown disc") << int(Behaviour::Answer) << QByteArray() << 5000 << "CDDB"
                                     << "no release holds disc" << 0;
}

// Whatever MusicBrainz does, its part ends within the time-out and the lookup falls back to
// CDDB.
void TestMusicBrainzLookup::serverTrouble()
{
    QFETCH(int, behaviour);
    QFETCH(QByteArray, reply);
    QFETCH(int, timeoutMs);
    QFETCH(int, atLeastMs);
    const Disc disc = makeDisc();
    if (reply == "GOOD")
        reply = mbDiscReply(disc.discId, disc.offsets, disc.sectors, {release("a", disc.discId)});
    if (!reply.isEmpty())
        m_server->setFile(QStringLiteral("/ws/2/discid/") + disc.discId, reply);
    m_server->setBehaviourFor(QStringLiteral("/ws/2/"), Behaviour(behaviour));
    AudioGrabber grabber;
    load(grabber, disc, *m_server, timeoutMs);
    serveCddb(grabber);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(grabber.QueryDiscInfo(1));
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= atLeastMs && elapsed < timeoutMs + 1500, qPrintable(QString::number(elapsed)));
    QTEST(grabber.namesSource().section(QLatin1Char(' '), 0, 0), "source");
    QFETCH(QString, answer);
    QCOMPARE(grabber.onlineAnswers().size(), answer.isEmpty() ? 0 : 1);
    QVERIFY2(grabber.onlineAnswers().value(0).contains(answer), qPrintable(grabber.onlineAnswers().join('|')));
    QVERIFY2(m_server->mostBytesSent() < CddbTestServer::kFloodBytes / 4,
             qPrintable(QString::number(m_server->mostBytesSent())));
}

void TestMusicBrainzLookup::coverArt_data()
{
    QTest::addColumn<QByteArray>("served"); // null: none (404)
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("mimeType");  // empty: no cover kept
    QTest::addColumn<bool>("redirected");   // served at another path, with a 307 to it
    const QByteArray jpeg = coverJpeg(500, 500);
    QTest::newRow("JPEG") << jpeg << "yes" << "image/jpeg" << false;
    QTest::newRow("PNG") << coverPng(300, 200) << "yes" << "image/png" << false;
    // The Cover Art Archive answers with a redirect to where the picture is stored.
    QTest::newRow("JPEG behind a redirect") << jpeg << "yes" << "image/jpeg" << true;
    QTest::newRow("404") << QByteArray() << "yes" << "" << false;
    QTest::newRow("not an image") << QByteArray("<html><body>Not here</body></html>") << "yes" << "" << false;
    QTest::newRow("a JPEG cut short") << jpeg.left(jpeg.size() / 2) << "yes" << "" << false;
    const QByteArray huge = QByteArray("\xFF\xD8\xFF\xE0") + QByteArray(12'000'000, 'A') + QByteArray("\xFF\xD9");
    QTest::newRow("12 MB") << huge << "yes" << "" << false;
    QTest::newRow("12 MB behind a redirect") << huge << "yes" << "" << true;
    QTest::newRow("20000 x 20000 pixels") << pngHeaderClaiming(20000, 20000) << "yes" << "" << false;
    QTest::newRow("cover art off") << jpeg << "no" << "" << false;
}

void TestMusicBrainzLookup::coverArt()
{
    QFETCH(QByteArray, served);
    QFETCH(QString, setting);
    QFETCH(QString, mimeType);
    IniFile().write(settings::coverArt, setting);
    const Disc disc = makeDisc();
    const MbRelease r = release("a", disc.discId);
    m_server->setFile(QStringLiteral("/ws/2/discid/") + disc.discId, mbDiscReply(disc.discId, disc.offsets, disc.sectors, {r}));
    QFETCH(bool, redirected);
    const QString front = QStringLiteral("/release/%1/front-500").arg(r.id());
    const QString stored = redirected ? QStringLiteral("/stored/front.jpg") : front;
    if (redirected)
        m_server->setRedirect(front, ("http://" + m_server->address() + stored).toLatin1());
    if (!served.isNull())
        m_server->setFile(stored, served);
    AudioGrabber grabber;
    load(grabber, disc, *m_server);
    QVERIFY(grabber.QueryDiscInfo(1));
    const CoverArt &cover = grabber.discNames().cover;
    QCOMPARE(cover.mimeType, mimeType);
    QCOMPARE(cover.bytes, mimeType.isEmpty() ? QByteArray() : served);
    QCOMPARE(m_server->paths().contains(front), setting == "yes");
    QCOMPARE(m_server->paths().contains(stored), setting == "yes");
    QCOMPARE(grabber.discAlbum(), r.title);
}

// The chooser's choice: the names and the cover of the release chosen.
void TestMusicBrainzLookup::anotherReleaseChosen()
{
    const Disc disc = makeDisc();
    MbRelease first = release("a", disc.discId, "1990");
    MbRelease second = release("b", disc.discId, "2000");
    second.media[0].tracks[1].title = QStringLiteral("Second's Two");
    m_server->setFile(QStringLiteral("/ws/2/discid/") + disc.discId,
                      mbDiscReply(disc.discId, disc.offsets, disc.sectors, {first, second}));
    m_server->setFile(QStringLiteral("/release/%1/front-500").arg(second.id()), coverPng(64, 64));
    AudioGrabber grabber;
    load(grabber, disc, *m_server);
    grabber.setPreferredRelease(QStringLiteral("no-such-release"));
    QVERIFY(grabber.QueryDiscInfo(1));
    QCOMPARE(grabber.chosenRelease(), 0);
    QVERIFY(grabber.discNames().cover.isEmpty());
    QVERIFY(!grabber.chooseRelease(QStringLiteral("no-such-release")));
    QVERIFY(grabber.chooseRelease(second.id()));
    QCOMPARE(grabber.chosenRelease(), 1);
    QCOMPARE(shownTitles(grabber), (QStringList{"One", "Second's Two", "Three"}));
    QCOMPARE(grabber.discNames().cover.mimeType, QStringLiteral("image/png"));
    QCOMPARE(grabber.namesSource(), QStringLiteral("MusicBrainz release ") + second.id());

    grabber.setPreferredRelease(second.id());
    QVERIFY(grabber.QueryDiscInfo(1));
    QCOMPARE(grabber.chosenRelease(), 1);
}

// MusicBrainz and the Cover Art Archive answer over HTTPS only: Qt's TLS backend must load.
void TestMusicBrainzLookup::httpsIsAvailable()
{
    QVERIFY2(QSslSocket::supportsSsl(), qPrintable(QSslSocket::availableBackends().join(',')));
}

HARVELO_TEST_MAIN(TestMusicBrainzLookup, QCoreApplication)
#include "tst_musicbrainz_lookup.moc"
