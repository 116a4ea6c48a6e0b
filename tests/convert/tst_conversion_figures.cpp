#include "convert/conversion_figures.h"
#include "tests/support/test_env.h"

#include <QtTest>

class TestConversionFigures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void targetNames_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("outputDir");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("target");
        QTest::newRow("wav to mp3") << "/in/song.wav" << "/out" << ".mp3" << "/out/song.mp3";
        QTest::newRow("last dot only") << "/in/a.b.wav" << "/out" << ".ogg" << "/out/a.b.ogg";
        QTest::newRow("no dot appends") << "/in/noext" << "/out" << ".wma" << "/out/noext.wma";
        QTest::newRow("dot in directory only") << "/in.d/noext" << "/out" << ".mp3" << "/out/noext.mp3";
        QTest::newRow("decode") << "/in/live.mp3" << "/out" << "_NOM.wav" << "/out/live_NOM.wav";
        QTest::newRow("normalize in place") << "/in/take.wav" << "/in" << "_NOM.wav" << "/in/take_NOM.wav";
        QTest::newRow("trailing slash") << "/in/x.ogg" << "/out/" << "_NOM.wav" << "/out/x_NOM.wav";
        QTest::newRow("backslash is a character") << "/in/a\\b.wav" << "/out" << ".mp3" << "/out/a\\b.mp3";
    }

    void targetNames()
    {
        QFETCH(QString, source);
        QFETCH(QString, outputDir);
        QFETCH(QString, suffix);
        QFETCH(QString, target);
        QCOMPARE(conversionTarget(source, outputDir, suffix), target);
    }

    void megabytes_data()
    {
        QTest::addColumn<double>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0.00MB";
        QTest::newRow("rounded") << 3638559.0 << "3.47MB";
        QTest::newRow("one hour of CD audio") << 635040000.0 << "605.62MB";
    }

    void megabytes()
    {
        QFETCH(double, bytes);
        QFETCH(QString, text);
        QCOMPARE(::megabytes(bytes), text);
    }

    // Blocks of one second (rate x channels elements) against the input's length.
    void progress_data()
    {
        QTest::addColumn<qint64>("sampleCount");
        QTest::addColumn<int>("samplesPerFrame");
        QTest::addColumn<int>("blockElements");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("percent");
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<QString>("amount");
        const qint64 hour = 3600LL * 44100;
        QTest::newRow("one second") << qint64(44100) << 2 << 88200 << 1 << 100 << qint64(44100) << "0.17MB";
        QTest::newRow("half an hour of an hour") << hour << 2 << 88200 << 1800 << 50 << hour / 2 << "302.81MB";
        QTest::newRow("one hour") << hour << 2 << 88200 << 3600 << 100 << hour << "605.62MB";
        QTest::newRow("a short last block") << qint64(66150) << 2 << 88200 << 1 << 66 << qint64(44100) << "0.17MB";
        QTest::newRow("more than announced is capped") << qint64(22050) << 2 << 88200 << 1 << 100 << qint64(22050) << "0.08MB";
        QTest::newRow("mono frames") << qint64(44100) << 1 << 44100 << 1 << 100 << qint64(44100) << "0.17MB";
        QTest::newRow("unknown length") << qint64(0) << 2 << 88200 << 2 << 0 << qint64(88200) << "0.34MB";
        QTest::newRow("unknown frame size counts by channels") << qint64(88200) << 0 << 88200 << 1 << 50 << qint64(44100) << "0.17MB";
    }

    void progress()
    {
        QFETCH(qint64, sampleCount);
        QFETCH(int, samplesPerFrame);
        QFETCH(int, blockElements);
        QFETCH(int, blocks);
        QFETCH(int, percent);
        QFETCH(qint64, frames);
        QFETCH(QString, amount);
        ConversionProgress p(sampleCount, samplesPerFrame, 2);
        int last = 0;
        for (int i = 0; i < blocks; ++i) {
            p.add(blockElements);
            QVERIFY(p.percent() >= last);
            last = p.percent();
        }
        QCOMPARE(p.percent(), percent);
        QCOMPARE(p.frames(), frames);
        QCOMPARE(p.amount(), amount);
    }

    void anEmptyBlockEndsAtHundred_data()
    {
        QTest::addColumn<qint64>("sampleCount");
        QTest::addColumn<int>("samplesPerFrame");
        QTest::newRow("known length") << qint64(44100) << 2;
        QTest::newRow("no length") << qint64(0) << 2;
        QTest::newRow("no frame size") << qint64(44100) << 0;
    }

    void anEmptyBlockEndsAtHundred()
    {
        QFETCH(qint64, sampleCount);
        QFETCH(int, samplesPerFrame);
        ConversionProgress p(sampleCount, samplesPerFrame, 0);
        p.add(0);
        QCOMPARE(p.percent(), 0);
        p.finish();
        QCOMPARE(p.percent(), 100);
        QCOMPARE(p.amount(), QStringLiteral("0.00MB"));
    }
};

HARVELO_TEST_MAIN(TestConversionFigures, QCoreApplication)
#include "tst_conversion_figures.moc"
