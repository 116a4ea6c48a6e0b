#include "convert/conversion_figures.h"
#include "jobs/part_file.h"
#include "tests/convert/job_harness.h"
#include "tests/support/audio_probe.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {

qint64 wavFrames(const QString &path)
{
    return decodeFile(path, 2).frames;
}

} // namespace

class TestDecodeJob : public JobTestCase {
    Q_OBJECT

private:
    QString wav(const QString &name, double seconds, double amplitude = 0.5)
    {
        const QString path = inPath(name);
        WavFixture fixture;
        fixture.seconds = seconds;
        fixture.amplitude = amplitude;
        return writeSineWav(path, fixture) ? path : QString();
    }

    QString encoded(const QString &name, double seconds)
    {
        const QString path = inPath(name);
        return makeEncodedFixture(path, seconds) ? path : QString();
    }

    QString nom(const QString &name) const { return QDir(out).filePath(name); }

private Q_SLOTS:

    void normalizeUsesOneGain_data()
    {
        QTest::addColumn<LevelShape>("shape");
        QTest::newRow("tone with a click") << LevelShape::ClickTone;
        QTest::newRow("fade-in") << LevelShape::FadeIn;
        QTest::newRow("quiet then loud") << LevelShape::QuietThenLoud;
        QTest::newRow("steady -26 dBFS") << LevelShape::Steady26;
    }

    // WAV Normalize: every sample is the input times one gain, 0.98 / the file's peak.
    void normalizeUsesOneGain()
    {
        QFETCH(LevelShape, shape);
        const std::vector<int16_t> in = levelSignal(shape);
        const QString source = inPath(QStringLiteral("shaped.wav"));
        QVERIFY(writeWav(source, in, 44100, 2));
        choose({source});
        QVERIFY(h->run("&WAV Normalize"));
        const std::vector<int16_t> result = decodeWithFfmpeg(nom("shaped_NOM.wav"));
        QCOMPARE(result.size(), in.size());
        const double spread = gainSpreadDb(in, 2, result, 2);
        QVERIFY2(spread < 0.1, qPrintable(QString::number(spread)));
        QVERIFY2(std::abs(peakLevel(result) - 0.98) <= 0.01, qPrintable(QString::number(peakLevel(result))));
        const QList<int> seen = h->decodeWatch->progress;
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.last(), 100);
    }

    void streamChangingFormatDecodes_data()
    {
        QTest::addColumn<QStringList>("second");
        QTest::newRow("stereo then mono") << QStringList{"-ac", "1"};
        QTest::newRow("44100 then 22050 Hz") << QStringList{"-ar", "22050"};
    }

    // A WMA file whose stream changes format part-way decodes in the format it started with.
    void streamChangingFormatDecodes()
    {
        QFETCH(QStringList, second);
        const QString source = inPath(QStringLiteral("changing.wma"));
        QVERIFY(makeFormatChangingAsf(source, second));
        choose({source});
        QVERIFY(h->run("&Decode to WAV"));
        const ProbeResult p = probeAudio(nom("changing_NOM.wav"));
        QCOMPARE(p.channels, 2);
        QCOMPARE(p.rate, 44100);
        QVERIFY2(qAbs(p.seconds - 2.0) < 0.15, qPrintable(QString::number(p.seconds)));
        QVERIFY(h->prompter.boxes.isEmpty());
    }

    void decodesEachFormat_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<double>("seconds");
        QTest::newRow("mp3, one second") << "live.mp3" << 1.0;
        QTest::newRow("mp3, a few seconds") << "live.mp3" << 4.3;
        QTest::newRow("ogg, one second") << "live.ogg" << 1.0;
        QTest::newRow("ogg, a few seconds") << "live.ogg" << 3.7;
        QTest::newRow("wma, one second") << "live.wma" << 1.0;
        QTest::newRow("wma, a few seconds") << "live.wma" << 2.9;
    }

    void decodesEachFormat()
    {
        QFETCH(QString, source);
        QFETCH(double, seconds);
        const QString path = encoded(source, seconds);
        QVERIFY(!path.isEmpty());
        choose({path});
        QVERIFY(h->run("&Decode to WAV"));

        const QString target = nom("live_NOM.wav");
        const ProbeResult p = probeAudio(target);
        QCOMPARE(p.codec, QString("pcm_s16le"));
        QCOMPARE(p.rate, 44100);
        QCOMPARE(p.channels, 2);
        // As long as ffmpeg decodes it, up to the short first Vorbis block that ffmpeg drops
        // and libvorbisfile keeps.
        const qint64 expected = wavFrames(path);
        QVERIFY2(qAbs(wavFrames(target) - expected) <= 128,
                 qPrintable(QString("%1 vs %2").arg(wavFrames(target)).arg(expected)));
        QCOMPARE(h->decodeWatch->title, QString("Decode to WAV..."));
        QCOMPARE(h->decodeWatch->progress.last(), 100);
        QCOMPARE(fm_decode->lbl_filename->text(), source);
        QVERIFY(fm_decode->lbl_decodesize->text().endsWith("MB"));
        QVERIFY(h->prompter.boxes.isEmpty());
        QCOMPARE(h->desktop.openedFolders, QStringList{out});
    }

    void theSecondSourceOfOneNameAsksFirst()
    {
        choose({encoded("x.ogg", 1.0), encoded("x.mp3", 2.0)});
        h->prompter.answers.enqueue(Prompter::Answer::Yes);
        QVERIFY(h->run("&Decode to WAV"));
        QCOMPARE(h->prompter.texts(), QStringList{nom("x_NOM.wav") + " is already exist.Overwrite?"});
        QVERIFY(qAbs(probeAudio(nom("x_NOM.wav")).seconds - 2.0) < 0.06);
    }

    // The dialog's list may change while the job runs; the job keeps the files it started with.
    void theJobKeepsItsOwnList()
    {
        const QStringList files{wav("a.wav", 1.0), wav("b.wav", 1.0)};
        QFile::copy(files[0], nom("a_NOM.wav"));
        choose(files);
        h->prompter.answers.enqueue(Prompter::Answer::Yes);
        h->prompter.onAsk = [](const ScriptedPrompter::Record &) { fm_main->OpenDialog.clear(); };
        QVERIFY(h->run("&WAV Normalize"));
        QCOMPARE(wavFrames(nom("b_NOM.wav")), qint64(44100));
        QCOMPARE(fm_decode->lbl_filecount->text(), QString("2"));
        QCOMPARE(fm_decode->lbl_filenum->text(), QString("2"));
    }

    void normalizingBesideTheSourceKeepsIt()
    {
        const QString a = wav("a.wav", 2.0, 0.25);
        const QByteArray original = fileBytes(a);
        h->reset(in);
        choose({a});
        QVERIFY(h->run("&WAV Normalize"));
        QCOMPARE(h->decodeWatch->title, QString("WAV normalize..."));
        QCOMPARE(fileBytes(a), original);
        const Decoded result = decodeFile(inPath("a_NOM.wav"), 2);
        QCOMPARE(result.frames, qint64(88200));
        QVERIFY2(qAbs(result.peak - 0.98) < 0.01, qPrintable(QString::number(result.peak)));
    }

    // A loud file before a quiet one: the quiet one is still brought up to the level.
    void eachFileIsNormalizedOnItsOwn()
    {
        choose({wav("loud.wav", 1.0, 0.9), wav("quiet.wav", 1.0, 0.1)});
        QVERIFY(h->run("&WAV Normalize"));
        for (const char *name : {"loud_NOM.wav", "quiet_NOM.wav"}) {
            const double peak = decodeFile(nom(name), 2).peak;
            QVERIFY2(qAbs(peak - 0.98) < 0.01, qPrintable(QString("%1: %2").arg(name).arg(peak)));
        }
    }

    void aFileThatIsNotAudioIsSkipped()
    {
        const QString bad = inPath("broken.ogg");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        choose({bad, encoded("fine.mp3", 1.0)});
        QVERIFY(h->run("&Decode to WAV"));
        QCOMPARE(h->prompter.texts(), QStringList{"broken.ogg is not a valid file!"});
        QVERIFY(!QFile::exists(nom("broken_NOM.wav")));
        QVERIFY(probeAudio(nom("fine_NOM.wav")).ok);
    }

    // Paused at the overwrite question, then stopped: the file in hand is left after its one
    // block, and the next file is not touched.
    void stopWhilePausedEndsAfterTheCurrentBlock()
    {
        const QStringList files{wav("long.wav", 5.0), wav("next.wav", 1.0)};
        QFile::copy(files[1], nom("long_NOM.wav"));
        choose(files);
        h->prompter.answers.enqueue(Prompter::Answer::Yes);
        h->prompter.onAsk = [](const ScriptedPrompter::Record &) {
            fm_decode->skbtn_pause->click();
            QTimer::singleShot(0, fm_decode, [] {
                QCOMPARE(fm_decode->skbtn_pause->text(), QString("&Resume"));
                fm_decode->skbtn_abort->click();
            });
        };
        QVERIFY(h->run("&WAV Normalize"));
        // The stopped file is not whole: the target answered Yes stays as it was.
        QCOMPARE(fileBytes(nom("long_NOM.wav")), fileBytes(files[1]));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{"long_NOM.wav"});
        QVERIFY(!QFile::exists(nom("next_NOM.wav")));
        QCOMPARE(fm_decode->skbtn_pause->text(), QString("&Pause"));
        QVERIFY(fm_decode->skpb_progress->value() < 100);
        QCOMPARE(h->desktop.openedFolders, QStringList{out});
        QVERIFY(!fm_decode->isVisible());
    }

    void pauseAndResumeFinishTheJob()
    {
        const QStringList files{wav("long.wav", 3.0)};
        QFile::copy(files[0], nom("long_NOM.wav"));
        choose(files);
        h->prompter.answers.enqueue(Prompter::Answer::Yes);
        h->prompter.onAsk = [](const ScriptedPrompter::Record &) {
            fm_decode->skbtn_pause->click();
            QTimer::singleShot(0, fm_decode, [] { fm_decode->skbtn_pause->click(); });
        };
        QVERIFY(h->run("&WAV Normalize"));
        QCOMPARE(wavFrames(nom("long_NOM.wav")), qint64(3 * 44100));
        QCOMPARE(fm_decode->skbtn_pause->text(), QString("&Pause"));
        QCOMPARE(h->decodeWatch->progress.last(), 100);
    }

    // Another program writes the target while the job makes it: that file is kept and told,
    // and the job goes on with the next file.
    void aTargetWrittenMeanwhileIsKept()
    {
        const QStringList files{wav("long.wav", 20.0), wav("next.wav", 1.0)};
        const QString target = nom("long_NOM.wav");
        choose(files);
        bool written = false;
        const QMetaObject::Connection hook = connect(fm_decode->skpb_progress, &QProgressBar::valueChanged,
                                                     [&](int percent) {
                                                         if (percent > 0 && !written)
                                                             written = writeFileBytes(target, "theirs");
                                                     });
        QVERIFY(h->run("&WAV Normalize"));
        disconnect(hook);
        QVERIFY(written);
        QCOMPARE(fileBytes(target), QByteArray("theirs"));
        QCOMPARE(h->prompter.texts(), QStringList{conflictMessage(target)});
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), (QStringList{"long_NOM.wav", "next_NOM.wav"}));
    }

    // A WAV without samples: its first block is already the empty one.
    void anEmptyFirstBlockEndsAtHundred()
    {
        const QString empty = inPath("empty.wav");
        QVERIFY(writeWav(empty, {}, 44100, 2));
        choose({empty});
        QVERIFY(h->run("&WAV Normalize"));
        QCOMPARE(h->decodeWatch->progress, (QList<int>{0, 100}));
        QCOMPARE(fm_decode->lbl_decodesize->text(), QString("0.00MB"));
        const ProbeResult p = probeAudio(nom("empty_NOM.wav"));
        QCOMPARE(p.codec, QString("pcm_s16le"));
        QCOMPARE(wavFrames(nom("empty_NOM.wav")), qint64(0));
        QVERIFY(h->prompter.boxes.isEmpty());
    }
};

HARVELO_TEST_MAIN(TestDecodeJob, QApplication)
#include "tst_decode_job.moc"
