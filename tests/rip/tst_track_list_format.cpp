#include "rip/track_list_format.h"
#include "tests/support/test_env.h"

#include <QtTest>

class TestTrackListFormat : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lengthText_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "0:00";
        QTest::newRow("just under a minute") << 59999 << "0:59";
        QTest::newRow("a minute") << 60000 << "1:00";
        QTest::newRow("seconds padded") << 187000 << "3:07";
        QTest::newRow("ten minutes") << 605000 << "10:05";
        QTest::newRow("an hour stays in minutes") << 3600000 << "60:00";
    }
    void lengthText()
    {
        QFETCH(int, ms);
        QFETCH(QString, text);
        QCOMPARE(tracklist::lengthText(ms), text);
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qint64(0) << "0.00MB";
        QTest::newRow("rounded down") << qint64(9066960) << "34.59MB";
        QTest::newRow("rounded up") << qint64(10584000) << "40.37MB";
        QTest::newRow("an hour") << qint64(158760000) << "605.62MB";
        // Five significant digits: past 1000 MB the second decimal is always 0.
        QTest::newRow("five significant digits") << qint64(300003000) << "1144.40MB";
        QTest::newRow("under a megabyte") << qint64(1000) << "0.00MB";
    }
    void sizeText()
    {
        QFETCH(qint64, frames);
        QFETCH(QString, text);
        QCOMPARE(tracklist::sizeText(frames), text);
    }

    void sizeTextUsesTheDecimalSeparator()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString text = tracklist::sizeText(9066960);
        QLocale::setDefault(saved);
        QCOMPARE(text, QStringLiteral("34,59MB"));
    }

    void trackName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("track");
        QTest::addColumn<QString>("name");
        QTest::newRow("title kept") << "Intro" << 1 << "Intro";
        QTest::newRow("no title") << "" << 7 << "Track7";
        QTest::newRow("blank is a title") << " " << 3 << " ";
        // A server's NUL or other control characters alone would name the file ".wav".
        QTest::newRow("only NUL") << QString(QChar(0)) << 7 << "Track7";
        QTest::newRow("only control characters") << "\x01\t\x1f\x7f" << 2 << "Track2";
        QTest::newRow("control characters around a title") << "\tIntro\n" << 2 << "\tIntro\n";
    }
    void trackName()
    {
        QFETCH(QString, title);
        QFETCH(int, track);
        QFETCH(QString, name);
        QCOMPARE(tracklist::trackName(title, track), name);
    }

    void genreIndex_data()
    {
        QTest::addColumn<QString>("genre");
        QTest::addColumn<int>("index");
        QTest::newRow("lower") << "rock" << 17;
        QTest::newRow("upper") << "ROCK" << 17;
        QTest::newRow("mixed") << "Rock" << 17;
        QTest::newRow("first entry") << "blues" << 0;
        QTest::newRow("last entry") << "synthpop" << 147;
        QTest::newRow("punctuation") << "r&b" << 14;
        QTest::newRow("listed with a blank, matched without") << "reggae" << 16;
        QTest::newRow("trailing blank") << "Rock " << -1;
        QTest::newRow("leading blank") << " Rock" << -1;
        QTest::newRow("unknown") << "Polka Metal" << -1;
        QTest::newRow("empty") << "" << -1;
        // Only ASCII letters change case: a dotless capital I does not become "I".
        QTest::newRow("non-ascii letter") << QString::fromUtf8("Ind\u0131e") << -1;
    }
    void genreIndex()
    {
        QFETCH(QString, genre);
        QFETCH(int, index);
        QCOMPARE(tracklist::genreIndex(genre), index);
    }
};

HARVELO_TEST_MAIN(TestTrackListFormat, QCoreApplication)
#include "tst_track_list_format.moc"
