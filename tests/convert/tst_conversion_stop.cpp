#include "convert/conversion_figures.h"
#include "tests/convert/job_harness.h"
#include "tests/support/audio_probe.h"
#include "tests/support/stop_at_step.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>

// A Stop at whatever step of a file it lands in, in the encode and the decode job, ends that
// file with nothing committed: the earlier target answered Yes stays as it was, no temporary
// file is left and nothing is told. The file before it is converted whole.
class TestConversionStop : public JobTestCase {
    Q_OBJECT

    QString source(const QString &name)
    {
        const QString path = inPath(name);
        if (name.endsWith(QLatin1String(".wav"))) {
            WavFixture fixture;
            fixture.seconds = 1.5;
            return writeSineWav(path, fixture) ? path : QString();
        }
        return makeEncodedFixture(path, 1.5) ? path : QString();
    }

private Q_SLOTS:
    void stopAtEachStep_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("sourceExtension");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<JobStep>("step");
        const QStringList jobs[] = {{"WAV to &MP3", ".wav", ".mp3"},
                                    {"WAV to &WMA", ".wav", ".wma"},
                                    {"WAV to &OGG", ".wav", ".ogg"},
                                    {"&Decode to WAV", ".mp3", "_NOM.wav"},
                                    {"&Decode to WAV", ".wma", "_NOM.wav"},
                                    {"&Decode to WAV", ".ogg", "_NOM.wav"},
                                    {"&WAV Normalize", ".wav", "_NOM.wav"}};
        for (const QStringList &job : jobs)
            for (const NamedStep &s : allJobSteps())
                QTest::addRow("%s to %s, %s", qPrintable(job[1].mid(1)),
                              qPrintable(QString(job[2]).remove("_NOM").mid(1)), qPrintable(s.name))
                    << job[0] << job[1] << job[2] << s.step;
    }

    void stopAtEachStep()
    {
        QFETCH(QString, command);
        QFETCH(QString, sourceExtension);
        QFETCH(QString, suffix);
        QFETCH(JobStep, step);
        const QStringList files{source("first" + sourceExtension), source("second" + sourceExtension)};
        QVERIFY(!files.contains(QString()));
        const QString converted = conversionTarget(files[0], out, suffix);
        const QString stopped = conversionTarget(files[1], out, suffix);
        QVERIFY(writeFileBytes(stopped, "an earlier conversion"));
        choose(files);
        h->prompter.answers.enqueue(Prompter::Answer::Yes);
        {
            const StopAtStep stop(step, 2);
            QVERIFY(h->run(command));
            QCOMPARE(stop.seen(), 2);
        }
        QCOMPARE(fileBytes(stopped), QByteArray("an earlier conversion"));
        QCOMPARE(h->prompter.texts(), QStringList{stopped + " is already exist.Overwrite?"});
        QVERIFY(probeAudio(converted).ok);
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{QFileInfo(converted).fileName(), QFileInfo(stopped).fileName()}));
        QCOMPARE(h->desktop.openedFolders, QStringList{out});
    }
};

HARVELO_TEST_MAIN(TestConversionStop, QApplication)
#include "tst_conversion_stop.moc"
