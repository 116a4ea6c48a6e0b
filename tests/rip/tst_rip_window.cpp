#include "gui/main/forms.h"
#include "tags/genres.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "rip/rip_job.h"
#include "tests/rip/rip_fixture.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"

#include <QDirIterator>
#include <QtTest>

// Rips through the real windows: the rows reached, the files, their audio and tags, and what
// the job says when a file cannot be written.
class TestRipWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<RipFixture> f;

    // Each track the window showed, as "counter name", in order.
    QStringList tracksShown() const
    {
        QStringList shown;
        for (const RipFixture::Step &s : f->steps) {
            if (s.counter.isEmpty()) // the bar set back when the window opens
                continue;
            const QString track = s.counter + QLatin1Char(' ') + s.name;
            if (shown.isEmpty() || shown.last() != track)
                shown << track;
        }
        return shown;
    }

private Q_SLOTS:
    void initTestCase() { f = std::make_unique<RipFixture>(); }
    void cleanupTestCase() { f.reset(); }

    void ticksDecideTheRowsAndNumbers()
    {
        f->prepare({4, 9, 12});
        f->rip(1);
        QVERIFY(!fm_progress->isVisible());
        QCOMPARE(fm_progress->lbl_trackcount->text(), QStringLiteral("3"));
        QCOMPARE(tracksShown(), (QStringList{"1 Song 4", "2 Song 9", "3 Song 12"}));
        const QStringList expected{f->trackFile(12, ".wav"), f->trackFile(4, ".wav"),
                                   f->trackFile(9, ".wav")};
        QCOMPARE(filesBelow(f->outDir()), expected);
        QCOMPARE(f->desktop.openedFolders, QStringList{f->outDir() + QStringLiteral("/Band")});
        QVERIFY(f->prompter.boxes.isEmpty());
        QCOMPARE(f->steps.last().percent, 100);
        QCOMPARE(fm_progress->lbl_writesize->text(), writtenSizeText(f->frames[11]));
    }

    // On two encoder threads, the "Disk write:" value's tooltip tells the files still encoding
    // while the next track is read (the first track, several blocks long, is just handed to
    // its encoder then), and nothing once the rip is over.
    void encodingFilesInTheTooltip()
    {
        f->prepare({1, 2});
        IniFile().write(settings::encoderThreads, 2);
        QStringList seen;
        f->onProgress = [&seen](int) {
            if (fm_progress->lbl_tracknum->text() == QStringLiteral("2"))
                seen << fm_progress->lbl_writesize->toolTip();
        };
        f->rip(0);
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.first(), QStringLiteral("1 file still encoding"));
        QCOMPARE(fm_progress->lbl_writesize->toolTip(), QString());
        QCOMPARE(filesBelow(f->outDir()).filter(".mp3").size(), 2);
    }

    void normalization_data()
    {
        QTest::addColumn<QString>("normalize");
        QTest::addColumn<bool>("exact");
        QTest::newRow("no") << "no" << true;
        QTest::newRow("Yes is not yes") << "Yes" << true;
        QTest::newRow("yes") << "yes" << false;
        QTest::newRow("absent means yes") << QString() << false;
    }

    void normalization()
    {
        QFETCH(QString, normalize);
        QFETCH(bool, exact);
        f->prepare({1, 2}, {}, normalize);
        f->rip(1);
        for (int track : {1, 2})
            QCOMPARE(sameAsDisc(f->trackFile(track, ".wav"), track, f->frames[track - 1]), exact);
    }

    void encodedFiles_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::newRow("mp3") << 0 << ".mp3" << "mp3" << 32000 << 1;
        QTest::newRow("ogg") << 3 << ".ogg" << "vorbis" << 32000 << 1;
        QTest::newRow("wma") << 2 << ".wma" << "wmav2" << 32000 << 2;
    }

    void encodedFiles()
    {
        QFETCH(int, format);
        QFETCH(QString, extension);
        QFETCH(QString, codec);
        QFETCH(int, rate);
        QFETCH(int, channels);
        f->prepare({4});
        IniFile ini;
        ini.write(settings::mp3Frequency, 32000);
        ini.write(settings::mp3Bitrate, 96);
        ini.write(settings::mp3Channel, 1);
        ini.write(settings::oggFrequency, 32000);
        ini.write(settings::oggChannel, 1);
        ini.write(settings::oggBitrate, 64);
        ini.write(settings::wmaFormat, 18); // 32000 Hz stereo
        f->rip(format);

        const ProbeResult probe = probeAudio(f->trackFile(4, extension));
        QVERIFY(probe.ok);
        QCOMPARE(probe.codec, codec);
        QCOMPARE(probe.rate, rate);
        QCOMPARE(probe.channels, channels);
        // WMA adds up to a frame of padding at each end.
        QVERIFY2(qAbs(probe.seconds - double(f->frames[3]) / 44100) < 0.15,
                 qPrintable(QString::number(probe.seconds)));
        QCOMPARE(probe.tags.value("title"), QStringLiteral("Song 4"));
        QCOMPARE(probe.tags.value("album"), QStringLiteral("Album"));
        QCOMPARE(probe.tags.value("artist"), QStringLiteral("Band"));
        QCOMPARE(probe.tags.value("genre"), genreName(RipFixture::kGenre));
        QCOMPARE(probe.tags.value("track").section(QLatin1Char('/'), 0, 0), QStringLiteral("4"));
        QVERIFY(f->prompter.boxes.isEmpty());
    }

    void existingFile_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("No keeps it") << false;
        QTest::newRow("Yes replaces a read-only file") << true;
    }

    void existingFile()
    {
        QFETCH(bool, overwrite);
        f->prepare({4, 9});
        const QString existing = f->trackFile(4, ".wav");
        QDir().mkpath(QFileInfo(existing).path());
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        QFile::setPermissions(existing, QFile::ReadOwner | QFile::ReadGroup);
        f->prompter.answers << (overwrite ? Prompter::Answer::Yes : Prompter::Answer::No);
        f->rip(1);

        QCOMPARE(f->prompter.boxes.size(), 1);
        const ScriptedPrompter::Record box = f->prompter.boxes.first();
        QCOMPARE(box.kind, Prompter::Kind::Plain);
        QCOMPARE(box.caption, QStringLiteral("ERROR"));
        QCOMPARE(box.text, existing + QStringLiteral(" is already exist.Overwrite?"));
        QCOMPARE(box.buttons, Prompter::Buttons::YesNo);
        QVERIFY(sameAsDisc(f->trackFile(9, ".wav"), 9, f->frames[8]));
        if (overwrite) {
            QVERIFY(sameAsDisc(existing, 4, f->frames[3]));
            QVERIFY(QFileInfo(existing).isWritable());
            QCOMPARE(tracksShown(), (QStringList{"1 Song 4", "2 Song 9"}));
        } else {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("keep me"));
            QCOMPARE(tracksShown(), QStringList{"2 Song 9"});
        }
    }

    void missingParentFailsEveryTrack()
    {
        f->prepare({4, 9, 12});
        const QString dir = f->outDir() + QStringLiteral("/new/rips");
        IniFile().write(settings::outputDirectory, dir);
        f->rip(1);
        QStringList expected;
        for (int row : {4, 9, 12}) {
            const QString name = fm_main->sklv_main->topLevelItem(row - 1)->text(1);
            expected << QStringLiteral("Failed to create file %1/Band/%2-%3.wav").arg(dir).arg(row).arg(name);
        }
        QCOMPARE(f->prompter.texts(), expected);
        for (const ScriptedPrompter::Record &box : f->prompter.boxes)
            QCOMPARE(box.caption, QStringLiteral("Error"));
        QVERIFY(!QFileInfo::exists(f->outDir() + QStringLiteral("/new")));
        QVERIFY(!fm_progress->isVisible());
    }

    void refusedSettings_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("mp3") << 0 << "This MP3 format is not supported!" << "Error!";
        QTest::newRow("ogg") << 3 << "This Ogg format is not supported!" << "Error";
    }

    void refusedSettings()
    {
        QFETCH(int, format);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        f->prepare({4, 9});
        IniFile ini;
        ini.write(settings::mp3Bitrate, 8); // LAME would quietly lower the sample rate
        ini.write(settings::oggBitrate, 2000);
        QString shownTrack;
        f->prompter.onAsk = [&](const ScriptedPrompter::Record &) {
            shownTrack = fm_progress->lbl_tracknum->text() + ' ' + fm_progress->lbl_trackname->text();
        };
        f->rip(format);
        QCOMPARE(f->prompter.texts(), QStringList{text});
        QCOMPARE(f->prompter.boxes.first().caption, caption);
        QCOMPARE(shownTrack, QStringLiteral("1 Song 4"));
        QVERIFY(filesBelow(f->outDir()).isEmpty());
        QVERIFY(f->desktop.openedFolders.isEmpty());
        QVERIFY(!fm_progress->isVisible());
    }

    void hostileNamesStillRip_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("extension");
        QTest::newRow("wav") << 1 << ".wav";
        QTest::newRow("mp3") << 0 << ".mp3";
    }
    // Names with control characters and a 10,000-character title give a file the file system
    // takes, and the track is ripped whole; the tag keeps the full title.
    void hostileNamesStillRip()
    {
        QFETCH(int, format);
        QFETCH(QString, extension);
        f->prepare({4});
        const QString letters(10000, QChar(0x97f3)); // 3 bytes each in UTF-8
        fm_main->sklv_main->topLevelItem(3)->setText(1, QStringLiteral("Line\nBreak\x1b[0m\a") + letters);
        fm_main->skedt_artist->setText(QStringLiteral("Ba\tnd\x7f"));
        f->rip(format);

        QVERIFY2(f->prompter.boxes.isEmpty(), qPrintable(f->prompter.texts().join('|')));
        // 255 bytes: "4-LineBreak[0m" (14), 79 letters (237) and the extension (4).
        const QString file = f->outDir() + QStringLiteral("/Band/4-LineBreak[0m") + letters.left(79) + extension;
        QCOMPARE(filesBelow(f->outDir()), QStringList{file});
        if (format == 1)
            QVERIFY(sameAsDisc(file, 4, f->frames[3]));
        const ProbeResult probe = probeAudio(file);
        QVERIFY(probe.ok);
        QVERIFY(probe.tags.value("title").endsWith(letters));
    }

    void openNameEditIsTakenFirst()
    {
        f->prepare({4});
        fm_main->sklv_main->setCurrentItem(fm_main->sklv_main->topLevelItem(3));
        fm_main->startTrackNameEdit();
        fm_main->Edit1->setText(QStringLiteral("Edited: Live"));
        f->rip(0);
        const QString file = f->outDir() + QStringLiteral("/Band/4-Edited= Live.mp3");
        QCOMPARE(filesBelow(f->outDir()), QStringList{file});
        QCOMPARE(probeAudio(file).tags.value("title"), QStringLiteral("Edited: Live"));
    }
};

HARVELO_TEST_MAIN(TestRipWindow, QApplication)
#include "tst_rip_window.moc"
