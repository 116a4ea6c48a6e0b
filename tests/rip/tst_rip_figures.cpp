#include "rip/rip_job.h"
#include "tests/support/test_env.h"

#include <QtTest>

class TestRipFigures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writtenSize_data()
    {
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << qint64(0) << "0.00MB";
        QTest::newRow("one block") << qint64(44100) << "0.17MB";
        QTest::newRow("3.37MB") << qint64(883392) << "3.37MB";
        QTest::newRow("no group separator") << qint64(300000000) << "1144.41MB";
    }

    void writtenSize()
    {
        QFETCH(qint64, frames);
        QFETCH(QString, text);
        QCOMPARE(writtenSizeText(frames), text);
    }

    void percent_data()
    {
        QTest::addColumn<qint64>("written");
        QTest::addColumn<qint64>("trackSamples");
        QTest::addColumn<int>("elements");
        QTest::addColumn<int>("percent");
        QTest::newRow("first block") << qint64(44100) << qint64(141120) << 88200 << 31;
        QTest::newRow("whole track") << qint64(141120) << qint64(141120) << 17640 << 100;
        QTest::newRow("empty block ends") << qint64(100) << qint64(141120) << 0 << 100;
        QTest::newRow("no length ends") << qint64(0) << qint64(0) << 88200 << 100;
        QTest::newRow("long track, no overflow") << qint64(200000000) << qint64(400000000) << 88200
                                                 << 50;
    }

    void percent()
    {
        QFETCH(qint64, written);
        QFETCH(qint64, trackSamples);
        QFETCH(int, elements);
        QFETCH(int, percent);
        QCOMPARE(trackPercent(written, trackSamples, elements), percent);
    }
};

HARVELO_TEST_MAIN(TestRipFigures, QCoreApplication)
#include "tst_rip_figures.moc"
