#include "lookup/xmcd_entry.h"
#include "tests/lookup/freedb_fixture.h"
#include "tests/support/test_env.h"

#include <QtTest>

using Titles = QMap<int, QString>;

class TestXmcdEntry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parses_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("album");
        QTest::addColumn<QString>("genre");
        QTest::addColumn<int>("trackCount");
        QTest::addColumn<Titles>("titles");

        QTest::newRow("titles continued mid-word")
            << freedbEntry(QStringLiteral("peik-6f0c6509.xmcd")) << "classical" << "Beethoven"
            << "Beethoven Piano Sonatas" << "Classical" << 9
            << Titles{{0, "Sonata No. 14 in C-sharp Minor, Op. 27, No. 2 Moonlight - I. Adagio sostenuto"},
                      {3, "Sonata No. 8 in C Minor, Op. 13 Pathetique - I. Grove; Allegro molto e con brio"},
                      {6, "Sonata No. 23 in F Minor, Op. 57 Appassionata - I. Allegro assai"},
                      {8, "III. Allegro ma non troppo; Presto"}};
        QTest::newRow("title without separator")
            << freedbEntry(QStringLiteral("peik-12025d03.xmcd")) << "country"
            << "Ernest Ray Everett - Single CD" << "Ernest Ray Everett - Single CD" << "Country" << 3
            << Titles{{2, "If You Don't Like Country"}};
        QTest::newRow("various artists")
            << freedbEntry(QStringLiteral("netcddb-d50dd30f.xmcd")) << "reggae" << "Various"
            << "Ska Island" << "Reggae" << 15 << Titles{{5, "Honky tonk Parts 1 & 2"}};
        QTest::newRow("genre of two words, EXTD lines")
            << freedbEntry(QStringLiteral("peik-840e160b.xmcd")) << "misc" << "Nightwish" << "Once"
            << "Symphonic Metal" << 11 << Titles{{9, "Kuolema Tekee Taiteilijan"}};
        QTest::newRow("Latin-1 entry")
            << freedbEntry(QStringLiteral("harvelo-6a09fc09-iso8859-1.xmcd")) << "metal"
            << QStringLiteral("S\u00e4\u00e4ksivuori") << QStringLiteral("\u00d6inen \u00c4\u00e4ni") << "Metal" << 9
            << Titles{{2, QStringLiteral("S\u00e4velten Kehto")}};
        QTest::newRow("missing track title")
            << freedbEntry(QStringLiteral("corrupt/peik-corrupt_song_7_missing.xmcd")) << "misc"
            << "Adele" << "21" << "Pop" << 13 << Titles{{6, "Take It All"}, {7, ""}, {8, "One And Only"}};
        QTest::newRow("UTF-8, CRLF, empty genre")
            << QByteArray("# xmcd\r\nDTITLE=Bj\xc3\xb6rk / Homogenic\r\nDGENRE=\r\nTTITLE0=J\xc3\xb3ga\r\n")
            << "rock" << QStringLiteral("Bj\u00f6rk") << "Homogenic" << "rock" << 1
            << Titles{{0, QStringLiteral("J\u00f3ga")}};
        QTest::newRow("separator inside a continued title")
            << QByteArray("DTITLE=Some Artist /\nDTITLE= An / Album\nTTITLE1=Second\n") << "misc"
            << "Some Artist" << "An / Album" << "misc" << 2 << Titles{{0, ""}, {1, "Second"}};
        QTest::newRow("escapes") << QByteArray("DTITLE=A\\\\B / C\\tD\nTTITLE0=x\\ny\n") << "misc"
                                 << "A\\B" << "C\tD" << "misc" << 1 << Titles{{0, "x\ny"}};
    }
    void parses()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QString, category);
        const auto names = parseXmcdEntry(entry, category);
        QVERIFY(names.has_value());
        QTEST(names->artist, "artist");
        QTEST(names->album, "album");
        QTEST(names->genre, "genre");
        QTEST(int(names->titles.size()), "trackCount");
        QFETCH(Titles, titles);
        for (auto it = titles.cbegin(); it != titles.cend(); ++it)
            QCOMPARE(names->titles.value(it.key()), it.value());
    }

    void trackArtistsAndYear_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("trackArtists");
        QTest::addColumn<QString>("date");
        QTest::newRow("various artists, \"Artist / Title\"")
            << QByteArray("DTITLE=Various Artists / Hits\nDYEAR=2003\nTTITLE0=Alice / Song\n"
                          "TTITLE1=Bob & Carol / Tune / Reprise\nTTITLE2=No Artist Here\n")
            << QStringList{"Song", "Tune / Reprise", "No Artist Here"} << QStringList{"Alice", "Bob & Carol", ""}
            << "2003";
        QTest::newRow("one artist, a title with a slash")
            << QByteArray("DTITLE=Band / Album\nDYEAR=Spring 99\nTTITLE0=Medley: A / B\n")
            << QStringList{"Medley: A / B"} << QStringList{} << "";
        QTest::newRow("a real entry's year") << freedbEntry(QStringLiteral("netcddb-d50dd30f.xmcd"))
                                             << QStringList{} << QStringList{} << "1997";
    }
    // A various-artists entry gives each track its artist, and the track list shows the line as
    // the entry wrote it; DYEAR is the date when it is a year.
    void trackArtistsAndYear()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, trackArtists);
        const auto names = parseXmcdEntry(entry, QStringLiteral("misc"));
        QVERIFY(names.has_value());
        QTEST(names->date, "date");
        if (titles.isEmpty())
            return;
        QCOMPARE(names->titles, titles);
        QCOMPARE(names->trackArtists, trackArtists);
        QCOMPARE(names->shownTitle(1 % titles.size()), trackArtists.isEmpty() ? titles.value(0)
                                                                              : QStringLiteral("Bob & Carol / Tune / Reprise"));
    }

    void refusesWhatIsNoEntry_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("comments only") << QByteArray("# xmcd\n# Disc length: 100 seconds\n");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\xff=\xfe", 12);
        QTest::newRow("server message") << QByteArray("401 rock 12345678 No such CD entry in database\n");
    }
    void refusesWhatIsNoEntry()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!parseXmcdEntry(text, QStringLiteral("rock")).has_value());
    }
};

HARVELO_TEST_MAIN(TestXmcdEntry, QCoreApplication)
#include "tst_xmcd_entry.moc"
