#include "disc/audio_grabber.h"
#include "disc/disc_codes.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/musicbrainz_fixture.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// Names for a disc on the command line: `lookup` and `rip --lookup` against a local MusicBrainz
// ws/2 server, a cover-art server and a CDDB server.
namespace {

ProcessResult cli(const QStringList &args)
{
    return runProgram(QStringLiteral(HARVELO_CLI), args, 60000);
}

// The settings file written line by line, as a user would: the keys need no help from the code.
void writeSettings(const QStringList &cddbLines)
{
    writeFileBytes(testEnv().iniPath(), ("[cddb]\n" + cddbLines.join(QLatin1Char('\n')) + "\n").toUtf8());
}

// The files of one format in a folder, by their title tag.
QMap<QString, QString> filesByTitle(const QString &dir, const QString &ext)
{
    QMap<QString, QString> files;
    for (const QFileInfo &file : QDir(dir).entryInfoList({QStringLiteral("*.") + ext}, QDir::Files))
        files.insert(probeAudio(file.filePath()).tags.value(QStringLiteral("title")), file.filePath());
    return files;
}

} // namespace

class TestCliNames : public QObject {
    Q_OBJECT

    QString m_disc;
    QString m_discId;
    QString m_freedbId;
    MbRelease m_hits{"hits", "Hits", "Various Artists", "2003-05-01", "GB", "5012345678900"};
    MbRelease m_reissue{"reissue", "Hits (reissue)", "Various Artists", "2010", "US", "5012345678917"};
    QByteArray m_cover;
    std::unique_ptr<CddbTestServer> m_server;

    void serveMusicBrainz()
    {
        m_server->setFile(QStringLiteral("/ws/2/discid/") + m_discId, mbDiscReply(m_discId, {}, 0, {m_hits, m_reissue}));
        m_server->setFile(QStringLiteral("/release/%1/front-500").arg(m_hits.id()), m_cover);
        writeSettings({"musicbrainz server=" + m_server->address(), "cover art server=" + m_server->address(),
                       "cddb server=" + m_server->address()});
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("disc"));
        m_disc = makeCdImage(dir, {{cdFramesForMs(1000)}, {cdFramesForMs(1200)}, {cdFramesForMs(900)}});
        setCdDevices({m_disc});
        AudioGrabber grabber;
        grabber.setDriveNum(grabber.driveCount());
        grabber.ReadTOC();
        m_discId = musicBrainzDiscId(grabber.toc());
        m_freedbId = grabber.discId();
        const QList<MbTrack> tracks{{"Song", 1000, "Alice"}, {"Tune", 1200, "Bob & Carol"}, {"Air", 900, "Dave"}};
        // The disc is the second medium of two.
        m_hits.media = {MbMedium{{{"Other", 1000}, {"Others", 2000}, {"Another", 900}}}, MbMedium{tracks, {m_discId}}};
        m_reissue.media = {MbMedium{tracks, {m_discId}}, MbMedium{{{"Bonus", 5000}}}};
        m_cover = coverJpeg(120, 120);
    }
    void init()
    {
        testEnv().clearIni();
        setCdDevices({m_disc});
        m_server = std::make_unique<CddbTestServer>();
    }
    void cleanup() { m_server.reset(); }

    void lookupPrintsTheRelease();
    void realDiscIds_data();
    void realDiscIds();
    void releaseOption();
    void cddbAnswersAreTold();
    void ripWritesTagsAndCover_data();
    void ripWritesTagsAndCover();
    void cddbYearAndGenreAreWritten();
};

void TestCliNames::lookupPrintsTheRelease()
{
    serveMusicBrainz();
    const ProcessResult run = cli({QStringLiteral("lookup"), QStringLiteral("--drive"), QString::number(AudioGrabber().driveCount())});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.outLines(),
             (QStringList{"artist: Various Artists", "album: Hits", "genre: ", "year: 2003", "disc: 2/2",
                          "source: MusicBrainz release " + m_hits.id(), "1: Alice / Song", "2: Bob & Carol / Tune",
                          "3: Dave / Air",
                          "other release: " + m_reissue.id() + "\tHits (reissue)\tVarious Artists\t2010\tUS\tCD\t5012345678917"}));
}

void TestCliNames::realDiscIds_data()
{
    QTest::addColumn<QString>("discId"); // as MusicBrainz knows the disc
    QTest::addColumn<QList<int>>("toc"); // leadout, then the tracks' offsets (LBA)
    // The disc of the discid lookup's example in the MusicBrainz web service's documentation.
    QTest::newRow("12 tracks") << "I5l9cCSFccLKFEKS.7wqSZAorPU-"
                               << QList<int>{267257, 150, 22767, 41887, 58317, 72102, 91375, 104652, 115380,
                                             132165, 143932, 159870, 174597};
    // A 22-track disc of libdiscid's own tests.
    QTest::newRow("22 tracks") << "xUp1F2NkfP8s8jaeFn_Av3jNEI4-"
                               << QList<int>{303602, 150, 9700, 25887, 39297, 53795, 63735, 77517, 94877, 107270,
                                             123552, 135522, 148422, 161197, 174790, 192022, 205545, 218010, 228700,
                                             239590, 255470, 266932, 288750};
}

// Discs of real tables of contents: the server answers only at the ID MusicBrainz gives them,
// so the names come only when the program computes that ID.
void TestCliNames::realDiscIds()
{
    QFETCH(QString, discId);
    QFETCH(QList<int>, toc);
    QList<CdImageTrack> tracks;
    QList<MbTrack> mbTracks;
    QStringList expected;
    for (qsizetype i = 1; i < toc.size(); ++i) {
        const int sectors = (i + 1 < toc.size() ? toc[i + 1] : toc[0]) - toc[i];
        tracks.append(CdImageTrack{int64_t(sectors) * 588});
        mbTracks.append(MbTrack{QStringLiteral("Track %1").arg(i), sectors * 1000LL / 75});
        expected.append(QStringLiteral("%1: Track %1").arg(i));
    }
    CdImageOptions options;
    options.sparse = true;
    setCdDevices({makeCdImage(testEnv().makeDir(QStringLiteral("real") + QString::number(toc.size())), tracks, {}, {},
                              options)});
    MbRelease real{QStringLiteral("real") + QString::number(toc.size()), "The Album", "Someone & Another", "2006-01-23",
                   "GB", "5034202015421"};
    real.media = {MbMedium{mbTracks, {discId}}};
    m_server->setFile(QStringLiteral("/ws/2/discid/") + discId, mbDiscReply(discId, toc.mid(1), toc[0], {real}));
    writeSettings({"musicbrainz server=" + m_server->address(), "cover art server=" + m_server->address(),
                   "cddb server=" + m_server->address()});
    const ProcessResult run = cli({QStringLiteral("lookup"), QStringLiteral("--drive"), QString::number(AudioGrabber().driveCount())});
    QVERIFY2(run.status == 0, run.err.constData());
    QCOMPARE(run.outLines(), (QStringList{"artist: Someone & Another", "album: The Album", "genre: ", "year: 2006",
                                          "disc: 1/1", "source: MusicBrainz release " + real.id()}
                              + expected));
    QVERIFY2(m_server->paths().value(0) == QStringLiteral("/ws/2/discid/") + discId, qPrintable(m_server->paths().join('|')));
}

void TestCliNames::releaseOption()
{
    serveMusicBrainz();
    const QString drive = QString::number(AudioGrabber().driveCount());
    const ProcessResult chosen = cli({"lookup", "--drive", drive, "--release", m_reissue.id()});
    QCOMPARE(chosen.status, 0);
    QVERIFY(chosen.outLines().contains("source: MusicBrainz release " + m_reissue.id()));
    QVERIFY(chosen.outLines().contains("disc: 1/2"));
    QVERIFY(chosen.outLines().contains("other release: " + m_hits.id()
                                       + "\tHits\tVarious Artists\t2003-05-01\tGB\tCD\t5012345678900"));
    const ProcessResult unknown = cli({"lookup", "--drive", drive, "--release", "0000"});
    QCOMPARE(unknown.status, 1);
    QCOMPARE(QString::fromUtf8(unknown.err), QStringLiteral("harvelo-cli: no MusicBrainz release 0000 holds this disc\n"));
    const ProcessResult rip = cli({"rip", "--device", m_disc, "--release", m_hits.id()});
    QCOMPARE(rip.status, 1);
    QVERIFY(rip.err.contains("--release takes effect with --lookup only"));
    // The rip names its files after the release asked for and lists the other one.
    const QString out = testEnv().makeDir(QStringLiteral("chosen"));
    const ProcessResult chosenRip = cli({"rip", "--device", m_disc, "--lookup", "--release", m_reissue.id(), "--format",
                                         "wav", "--output", out, "--tracks", "1"});
    QVERIFY2(chosenRip.status == 0, chosenRip.err.constData());
    QVERIFY2(chosenRip.err.contains(("other release: " + m_hits.id() + "\tHits\t").toUtf8()), chosenRip.err.constData());
    QVERIFY(fileBytes(out + QStringLiteral("/Hits (reissue).log")).contains(("Names (MusicBrainz release " + m_reissue.id() + ")").toUtf8()));
}

// What each server answered, line by line, before the message of the window.
void TestCliNames::cddbAnswersAreTold()
{
    writeSettings({"musicbrainz server=" + m_server->address(), "cddb server=" + m_server->address()});
    m_server->setQueryReply("500 Unknown developer email\r\n");
    const ProcessResult run = cli({QStringLiteral("lookup"), QStringLiteral("--drive"), QString::number(AudioGrabber().driveCount())});
    QCOMPARE(run.status, 1);
    QCOMPARE(QString::fromUtf8(run.err),
             QStringLiteral("harvelo-cli: 127.0.0.1 (MusicBrainz): no release holds disc %1\n"
                            "harvelo-cli: 127.0.0.1: 500 Unknown developer email\n"
                            "harvelo-cli: Could not find freedb info!\n").arg(m_discId));
    // A rip goes on with the local names; its log tells what the servers answered.
    const QString out = testEnv().makeDir(QStringLiteral("refused"));
    const ProcessResult rip = cli({"rip", "--device", m_disc, "--lookup", "--format", "wav", "--output", out, "--tracks", "1"});
    QVERIFY2(rip.status == 0, rip.err.constData());
    QVERIFY(rip.err.contains("harvelo-cli: 127.0.0.1: 500 Unknown developer email\n"));
    const QString log = QString::fromUtf8(fileBytes(out + QStringLiteral("/Unknown Album.log")));
    QVERIFY2(log.contains("Names (as entered)\n  Artist: Unknown Artist\n  Album: Unknown Album\n"
                          "  Not found on-line: 127.0.0.1 (MusicBrainz): no release holds disc " + m_discId
                          + "\n  Not found on-line: 127.0.0.1: 500 Unknown developer email\n"),
             qPrintable(log));
}

void TestCliNames::ripWritesTagsAndCover_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("artistKey");
    QTest::addColumn<QString>("albumArtistKey");
    QTest::addColumn<QString>("pictureKey"); // empty: the format holds no picture
    QTest::newRow("mp3") << "mp3" << "TPE1" << "TPE2" << "APIC";
    QTest::newRow("ogg") << "ogg" << "ARTIST" << "ALBUMARTIST" << "METADATA_BLOCK_PICTURE";
    QTest::newRow("wma") << "wma" << "Author" << "WM/AlbumArtist" << "WM/Picture";
    QTest::newRow("wav") << "wav" << "" << "" << "";
}

// Every file gets the track's artist, the release's IDs and the cover; cover.jpg lies beside
// them, and the log names the release.
void TestCliNames::ripWritesTagsAndCover()
{
    QFETCH(QString, format);
    QFETCH(QString, artistKey);
    QFETCH(QString, albumArtistKey);
    QFETCH(QString, pictureKey);
    serveMusicBrainz();
    const QString out = testEnv().makeDir(QStringLiteral("rip-") + format);
    const ProcessResult run = cli({"rip", "--device", m_disc, "--lookup", "--format", format, "--output", out});
    QVERIFY2(run.status == 0, run.err.constData());
    QCOMPARE(fileBytes(out + QStringLiteral("/cover.jpg")), m_cover);
    const QMap<QString, QString> files = filesByTitle(out, format);
    const QStringList titles{"Song", "Tune", "Air"}, artists{"Alice", "Bob & Carol", "Dave"};
    QCOMPARE(files.keys(), (QStringList{"Air", "Song", "Tune"}));
    for (int i = 0; i < 3; ++i) {
        const QString file = files.value(titles[i]);
        QCOMPARE(probeAudio(file).tags.value(QStringLiteral("artist")), artists[i]);
        if (pictureKey.isEmpty())
            continue;
        const QMap<QString, QString> tags = mutagenTags(file);
        QCOMPARE(tags.value(artistKey), artists[i]);
        QCOMPARE(tags.value(albumArtistKey), QStringLiteral("Various Artists"));
        QCOMPARE(tags.value(pictureKey), frontCoverText(QStringLiteral("image/jpeg"), m_cover));
        const QString trackId = m_hits.trackId(1, i);
        QVERIFY2(tags.values().contains(trackId), qPrintable(QStringList(tags.keys()).join('|')));
        QVERIFY(tags.values().contains(m_hits.recordingId(1, i)));
        QVERIFY(tags.values().contains(m_hits.id()));
    }
    const QString log = QString::fromUtf8(fileBytes(out + QStringLiteral("/Hits.log")));
    QVERIFY2(log.contains("Names (MusicBrainz release " + m_hits.id() + ")\n  Artist: Various Artists\n"), qPrintable(log));
    // A cover.jpg holding another picture stays unless --force.
    for (const QString &file : files)
        QVERIFY(QFile::remove(file));
    writeFileBytes(out + QStringLiteral("/cover.jpg"), "mine");
    const ProcessResult again = cli({"rip", "--device", m_disc, "--lookup", "--format", format, "--output", out,
                                     "--tracks", "1"});
    QCOMPARE(again.status, 1);
    QVERIFY(again.err.contains("/cover.jpg exists; --force overwrites it"));
    QCOMPARE(fileBytes(out + QStringLiteral("/cover.jpg")), QByteArray("mine"));
}

// The year of a CDDB entry and a genre the ID3v1 list lacks reach the tags.
void TestCliNames::cddbYearAndGenreAreWritten()
{
    writeSettings({"musicbrainz=no", "cddb server=" + m_server->address()});
    m_server->setQueryReply(CddbTestServer::exactMatch(QStringLiteral("misc"), m_freedbId, "x"));
    m_server->setEntry(QStringLiteral("misc"), m_freedbId,
                       "DTITLE=Band / Record\nDYEAR=1999\nDGENRE=Polka Metal\nTTITLE0=One\nTTITLE1=Two\nTTITLE2=Three\n");
    const QString out = testEnv().makeDir(QStringLiteral("cddb-rip"));
    for (const QString format : {"mp3", "ogg"}) {
        const ProcessResult run = cli({"rip", "--device", m_disc, "--lookup", "--format", format, "--output", out,
                                       "--tracks", "2"});
        QVERIFY2(run.status == 0, run.err.constData());
        const ProbeResult probe = probeAudio(filesByTitle(out, format).value(QStringLiteral("Two")));
        QCOMPARE(probe.tags.value(QStringLiteral("date")), QStringLiteral("1999"));
        QCOMPARE(probe.tags.value(QStringLiteral("genre")), QStringLiteral("Polka Metal"));
    }
    QVERIFY(fileBytes(out + QStringLiteral("/Record.log")).contains("Names (CDDB misc " + m_freedbId.toLatin1() + ")"));
}

HARVELO_TEST_MAIN(TestCliNames, QCoreApplication)
#include "tst_cli_names.moc"
