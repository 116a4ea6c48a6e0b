#include "jobs/job_notice.h"
#include "tests/support/test_env.h"

#include <QCoreApplication>
#include <QtTest>

class TestJobNotice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void notices_data()
    {
        QTest::addColumn<bool>("rip");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("done");
        QTest::addColumn<int>("accurate");
        QTest::addColumn<QString>("text");
        QTest::newRow("rip, all accurate") << true << 12 << 12 << 12 << "12 tracks ripped, all accurate";
        QTest::newRow("rip, some accurate") << true << 12 << 12 << 10 << "12 tracks ripped, 10 accurate";
        QTest::newRow("rip, none accurate") << true << 2 << 2 << 0 << "2 tracks ripped, 0 accurate";
        QTest::newRow("rip, not checked") << true << 12 << 12 << -1 << "12 tracks ripped";
        QTest::newRow("rip, one track") << true << 1 << 1 << 1 << "1 track ripped, all accurate";
        QTest::newRow("rip, some failed") << true << 12 << 9 << 9 << "3 of 12 tracks failed";
        QTest::newRow("rip, the one failed") << true << 1 << 0 << -1 << "1 of 1 track failed";
        QTest::newRow("conversion") << false << 5 << 5 << -1 << "5 files converted";
        QTest::newRow("conversion, one file") << false << 1 << 1 << -1 << "1 file converted";
        QTest::newRow("conversion, some failed") << false << 5 << 3 << -1 << "2 of 5 files failed";
    }

    void notices()
    {
        QFETCH(bool, rip);
        QFETCH(int, total);
        QFETCH(int, done);
        QFETCH(int, accurate);
        QFETCH(QString, text);
        QCOMPARE(rip ? ripNotice(total, done, accurate) : conversionNotice(total, done), text);
    }
};

HARVELO_TEST_MAIN(TestJobNotice, QCoreApplication)
#include "tst_job_notice.moc"
