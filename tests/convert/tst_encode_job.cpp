#include "convert/conversion_figures.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/convert/job_harness.h"
#include "tests/support/audio_probe.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/small_folder.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class TestEncodeJob : public JobTestCase {
    Q_OBJECT

private:
    QString wav(const QString &name, double seconds, int rate = 44100, int channels = 2)
    {
        const QString path = inPath(name);
        WavFixture fixture;
        fixture.seconds = seconds;
        fixture.rate = rate;
        fixture.channels = channels;
        return writeSineWav(path, fixture) ? path : QString();
    }


private Q_SLOTS:

    void oneGainPerFile_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<LevelShape>("shape");
        QTest::newRow("mp3, tone with a click") << "WAV to &MP3" << ".mp3" << LevelShape::ClickTone;
        QTest::newRow("mp3, fade-in") << "WAV to &MP3" << ".mp3" << LevelShape::FadeIn;
        QTest::newRow("ogg, quiet then loud") << "WAV to &OGG" << ".ogg" << LevelShape::QuietThenLoud;
        QTest::newRow("wma, tone with a click") << "WAV to &WMA" << ".wma" << LevelShape::ClickTone;
    }

    // The encode job normalizes each file with one gain: every part of it changes level by
    // the same amount (ffmpeg as the reader).
    void oneGainPerFile()
    {
        QFETCH(QString, command);
        QFETCH(QString, extension);
        QFETCH(LevelShape, shape);
        const std::vector<int16_t> in = levelSignal(shape);
        const QString source = inPath(QStringLiteral("shaped.wav"));
        QVERIFY(writeWav(source, in, 44100, 2));
        choose({source});
        QVERIFY(h->run(command));
        const std::vector<int16_t> outSamples = decodeWithFfmpeg(QDir(out).filePath("shaped" + extension));
        const double spread = gainSpreadDb(in, 2, outSamples, 2);
        QVERIFY2(spread < 0.1, qPrintable(QString::number(spread)));
        const QList<int> seen = h->encodeWatch->progress;
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.last(), 100);
    }

    void replayGainOfTheWrittenFiles_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("mode");
        QTest::newRow("mp3, album") << "WAV to &MP3" << ".mp3" << "album";
        QTest::newRow("wma, album") << "WAV to &WMA" << ".wma" << "album";
        QTest::newRow("ogg, track") << "WAV to &OGG" << ".ogg" << "track";
    }

    // The batch measures what it writes, normalized to 98 %: each file's gain and, for
    // "album", the gain of all of them agree within 0.1 dB with ffmpeg's meter on the sources
    // brought to that peak.
    void replayGainOfTheWrittenFiles()
    {
        QFETCH(QString, command);
        QFETCH(QString, extension);
        QFETCH(QString, mode);
        IniFile().write(settings::replayGain, mode);
        WavFixture steady;
        steady.seconds = 4.0;
        // Loud where they meet: the album's meter has the tracks apart, ffmpeg's one after another.
        const std::vector<int16_t> sources[] = {levelSignal(LevelShape::QuietThenLoud), sineSamples(steady)};
        QStringList inputs, normalized, targets;
        for (const std::vector<int16_t> &samples : sources) {
            const QString name = QStringLiteral("in%1").arg(inputs.size());
            inputs << inPath(name + ".wav");
            normalized << inPath(name + "-98.wav");
            targets << QDir(out).filePath(name + extension);
            std::vector<int16_t> louder(samples);
            const double gain = 0.98 / peakLevel(samples);
            for (int16_t &s : louder)
                s = int16_t(std::lround(s * gain));
            QVERIFY(writeWav(inputs.last(), samples, 44100, 2) && writeWav(normalized.last(), louder, 44100, 2));
        }
        choose(inputs);
        QVERIFY(h->run(command));
        const QString prefix = extension == ".mp3" ? QStringLiteral("TXXX:") : QString();
        for (int i = 0; i < targets.size(); ++i) {
            const QMap<QString, QString> tags = mutagenTags(targets[i]);
            const QString track = tags.value(prefix + "REPLAYGAIN_TRACK_GAIN");
            QVERIFY2(qAbs(replayGainDb(track) + 18 + ffmpegLoudness({normalized[i]})) <= 0.1, qPrintable(track));
            const QString album = tags.value(prefix + "REPLAYGAIN_ALBUM_GAIN");
            if (mode == "track")
                QVERIFY2(album.isEmpty(), qPrintable(album));
            else
                QVERIFY2(qAbs(replayGainDb(album) + 18 + ffmpegLoudness(normalized)) <= 0.1, qPrintable(album));
        }
    }

    void encodesEachFormat_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::newRow("mp3, one second") << "WAV to &MP3" << ".mp3" << "mp3" << 1.0 << 44100 << 2;
        QTest::newRow("mp3, mono 22050 Hz") << "WAV to &MP3" << ".mp3" << "mp3" << 3.5 << 22050 << 1;
        QTest::newRow("wma, one second") << "WAV to &WMA" << ".wma" << "wmav2" << 1.0 << 44100 << 2;
        QTest::newRow("wma, 48000 Hz") << "WAV to &WMA" << ".wma" << "wmav2" << 2.5 << 48000 << 2;
        QTest::newRow("ogg, one second") << "WAV to &OGG" << ".ogg" << "vorbis" << 1.0 << 44100 << 2;
        QTest::newRow("ogg, mono 32000 Hz") << "WAV to &OGG" << ".ogg" << "vorbis" << 6.25 << 32000 << 1;
    }

    // The default settings of every format write 44100 Hz stereo, whatever the input.
    void encodesEachFormat()
    {
        QFETCH(QString, command);
        QFETCH(QString, extension);
        QFETCH(QString, codec);
        QFETCH(double, seconds);
        QFETCH(int, rate);
        QFETCH(int, channels);
        const QString source = wav(QStringLiteral("take.wav"), seconds, rate, channels);
        choose({source});
        QVERIFY(h->run(command));

        const ProbeResult p = probeAudio(QDir(out).filePath("take" + extension));
        QVERIFY(p.ok);
        QCOMPARE(p.codec, codec);
        QCOMPARE(p.rate, 44100);
        QCOMPARE(p.channels, 2);
        // WMA frames are 2048 samples: a leading silent frame and the padded last one.
        const double tolerance = codec == "wmav2" ? 2 * 2048.0 / 44100 : 0.06;
        QVERIFY2(qAbs(p.seconds - seconds) < tolerance, qPrintable(QString::number(p.seconds)));

        QCOMPARE(h->encodeWatch->shows, 1);
        QCOMPARE(h->encodeWatch->title, command.replace("WAV to &", "Encode to ") + "...");
        const QList<int> seen = h->encodeWatch->progress;
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.first(), 0);
        QCOMPARE(seen.last(), 100);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(fm_encode->skpb_progress->value(), 100);
        QCOMPARE(fm_encode->lbl_filecount->text(), QString("1"));
        QCOMPARE(fm_encode->lbl_filenum->text(), QString("1"));
        QCOMPARE(fm_encode->lbl_filename->text(), QString("take.wav"));
        QCOMPARE(fm_encode->lbl_filesize->text(), megabytes(double(QFileInfo(source).size())));
        const qint64 frames = qRound64(seconds * rate);
        QCOMPARE(fm_encode->lbl_encodesize->text(), megabytes(double(frames) * 4));
        QVERIFY(h->prompter.boxes.isEmpty());
        QCOMPARE(h->desktop.openedFolders, QStringList{out});
    }

    void severalFilesOneAfterAnother()
    {
        const QStringList files{wav("a.wav", 1.0), wav("b.wav", 2.0), wav("c.wav", 0.5)};
        choose(files);
        QVERIFY(h->run("WAV to &OGG"));
        const QList<double> lengths{1.0, 2.0, 0.5};
        for (int i = 0; i < files.size(); ++i) {
            const QString target = conversionTarget(files[i], out, ".ogg");
            QVERIFY2(qAbs(probeAudio(target).seconds - lengths[i]) < 0.06, qPrintable(target));
        }
        QCOMPARE(fm_encode->lbl_filecount->text(), QString("3"));
        QCOMPARE(fm_encode->lbl_filenum->text(), QString("3"));
        QCOMPARE(fm_encode->lbl_filename->text(), QString("c.wav"));
        QCOMPARE(h->desktop.openedFolders.size(), 1);
    }

    void invalidFilesAreSkipped_data()
    {
        QTest::addColumn<QString>("badName");
        QTest::addColumn<QString>("reported");
        QTest::newRow("not audio") << "noise.wav" << "noise.wav";
        QTest::newRow("missing") << "gone.wav" << "gone.wav";
        QTest::newRow("unknown kind") << "notes.txt" << "notes.txt";
    }

    void invalidFilesAreSkipped()
    {
        QFETCH(QString, badName);
        QFETCH(QString, reported);
        const QString bad = inPath(badName);
        if (badName != "gone.wav")
            QVERIFY(writeFileBytes(bad, QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunk", 20)));
        choose({bad, wav("good.wav", 1.0)});
        QVERIFY(h->run("WAV to &MP3"));
        QCOMPARE(h->prompter.texts(), QStringList{reported + " is not a valid file!"});
        QCOMPARE(h->prompter.boxes.first().kind, Prompter::Kind::Plain);
        QCOMPARE(h->prompter.boxes.first().caption, QString("Harvelo"));
        QCOMPARE(h->prompter.boxes.first().buttons, Prompter::Buttons::Ok);
        QVERIFY(!QFile::exists(conversionTarget(bad, out, ".mp3")));
        QCOMPARE(probeAudio(QDir(out).filePath("good.mp3")).codec, QString("mp3"));
        QCOMPARE(fm_encode->lbl_filenum->text(), QString("2"));
    }

    void overwriteQuestion_data()
    {
        QTest::addColumn<Prompter::Answer>("answer");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("no keeps the target") << Prompter::Answer::No << false;
        QTest::newRow("yes replaces a read-only target") << Prompter::Answer::Yes << true;
    }

    void overwriteQuestion()
    {
        QFETCH(Prompter::Answer, answer);
        QFETCH(bool, readOnly);
        const QString target = QDir(out).filePath("take.mp3");
        const QByteArray old("an earlier encode");
        QVERIFY(writeFileBytes(target, old));
        if (readOnly)
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        choose({wav("take.wav", 1.0), wav("next.wav", 1.0)});
        h->prompter.answers.enqueue(answer);
        QVERIFY(h->run("WAV to &MP3"));

        QCOMPARE(h->prompter.texts(), QStringList{target + " is already exist.Overwrite?"});
        QCOMPARE(h->prompter.boxes.first().caption, QString("ERROR"));
        QCOMPARE(h->prompter.boxes.first().buttons, Prompter::Buttons::YesNo);
        if (answer == Prompter::Answer::No) {
            QCOMPARE(fileBytes(target), old);
        } else {
            QVERIFY(qAbs(probeAudio(target).seconds - 1.0) < 0.06);
            const QFile::Permissions perms = QFile::permissions(target);
            QVERIFY(perms & QFile::WriteOwner);
            QVERIFY(perms & QFile::ReadOther);
        }
        QVERIFY(probeAudio(QDir(out).filePath("next.mp3")).ok);
    }

    // A second job shows none of the first one's figures before it has its own: at its first
    // question nothing has been encoded yet.
    void aNewJobStartsWithNoFigures()
    {
        const QString source = wav("take.wav", 1.0);
        choose({source});
        QVERIFY(h->run("WAV to &MP3"));
        QVERIFY(!fm_encode->lbl_encodesize->text().isEmpty());
        QCOMPARE(fm_encode->skpb_progress->value(), 100);

        QString encoded = QStringLiteral("unseen");
        int percent = -1;
        h->prompter.onAsk = [&](const ScriptedPrompter::Record &) {
            encoded = fm_encode->lbl_encodesize->text();
            percent = fm_encode->skpb_progress->value();
        };
        choose({source});
        h->prompter.answers.enqueue(Prompter::Answer::No);
        QVERIFY(h->run("WAV to &MP3"));
        QCOMPARE(encoded, QString());
        QCOMPARE(percent, 0);
    }

    // With the output directory beside the sources, an MP3 chosen for MP3 would be its own target.
    void aTargetThatIsTheSourceIsRefused()
    {
        const QString mp3 = inPath("song.mp3");
        QVERIFY(makeEncodedFixture(mp3, 1.0));
        const QByteArray original = fileBytes(mp3);
        h->reset(in);
        choose({mp3, wav("other.wav", 1.0)});
        QVERIFY(h->run("WAV to &MP3"));
        QCOMPARE(h->prompter.texts(), QStringList{"song.mp3 is not a valid file!"});
        QCOMPARE(fileBytes(mp3), original);
        QVERIFY(probeAudio(inPath("other.mp3")).ok);
    }

    void fullDiskFailsTheFileAndKeepsTheOld_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("extension");
        QTest::newRow("mp3") << "WAV to &MP3" << ".mp3";
        QTest::newRow("wma") << "WAV to &WMA" << ".wma";
        QTest::newRow("ogg") << "WAV to &OGG" << ".ogg";
    }

    // The output folder holds 32 KB. The failure is told with the job's wording, the earlier
    // target answered Yes survives, and no temporary file is left.
    void fullDiskFailsTheFileAndKeepsTheOld()
    {
        QFETCH(QString, command);
        QFETCH(QString, extension);
        SmallFolder small(QDir(out).filePath("small"), 32 * 1024);
        h->reset(small.path());
        const QString target = small.path() + "/take" + extension;
        QVERIFY(writeFileBytes(target, "an earlier encode"));
        choose({wav("take.wav", 10.0)});
        h->prompter.answers.enqueue(Prompter::Answer::Yes);
        small.limited([&] { QVERIFY(h->run(command)); });
        QCOMPARE(h->prompter.texts(), (QStringList{target + " is already exist.Overwrite?",
                                                   "take" + extension + " is not a valid file!"}));
        QCOMPARE(fileBytes(target), QByteArray("an earlier encode"));
        QCOMPARE(small.entries(), QStringList{"take" + extension});
    }

    // The folder holds both files but not the copy that takes the album's values: each file
    // stays whole with its track values, and the message says what is missing (not that the
    // file is invalid).
    void albumGainThatCannotBeWrittenIsTold()
    {
        SmallFolder small(QDir(out).filePath("small"), 48 * 1024);
        if (!small.mounted())
            QSKIP("a folder full only for the album's copy needs a tmpfs");
        h->reset(small.path());
        IniFile().write(settings::replayGain, QStringLiteral("album"));
        choose({wav("a.wav", 1.0), wav("b.wav", 1.0)});
        QVERIFY(h->run("WAV to &MP3"));
        QStringList expected;
        for (const QString name : {"a.mp3", "b.mp3"}) {
            const QString target = small.path() + "/" + name;
            expected << "The album's ReplayGain was not written: cannot write tags into " + target
                    + ". The file is whole, with its track values.";
            QCOMPARE(decodeFile(target, 2).frames, qint64(44100));
            const QMap<QString, QString> tags = mutagenTags(target);
            QVERIFY(tags.contains("TXXX:REPLAYGAIN_TRACK_GAIN"));
            QVERIFY(!tags.contains("TXXX:REPLAYGAIN_ALBUM_GAIN"));
        }
        QCOMPARE(h->prompter.texts(), expected);
        QCOMPARE(small.entries(), (QStringList{"a.mp3", "b.mp3"}));
    }

    // Stopped in the middle: nothing under the target's name, no temporary file.
    void stopLeavesNoPartialTarget()
    {
        choose({wav("long.wav", 5.0)});
        h->prompter.answers.clear();
        const QMetaObject::Connection stopAtFirstBlock = connect(
            fm_encode->skpb_progress, &QProgressBar::valueChanged, this, [](int percent) {
                if (percent > 0 && fm_encode->isVisible())
                    fm_encode->skbtn_abort->click();
            });
        const bool ran = h->run("WAV to &OGG");
        disconnect(stopAtFirstBlock);
        QVERIFY(ran);
        QVERIFY(fm_encode->skpb_progress->value() < 100);
        QVERIFY(h->prompter.boxes.isEmpty());
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

HARVELO_TEST_MAIN(TestEncodeJob, QApplication)
#include "tst_encode_job.moc"
