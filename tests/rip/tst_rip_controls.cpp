#include "gui/main/forms.h"
#include "jobs/part_file.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"
#include "tests/rip/rip_fixture.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/small_folder.h"
#include "tests/support/test_env.h"

#include <QTimer>
#include <QDirIterator>
#include <QtTest>

// Stop, Pause/Resume and closing of the rip window, read errors, the format buttons and what
// the rip command hands to the grabber.
class TestRipControls : public QObject {
    Q_OBJECT
    std::unique_ptr<RipFixture> f;

    // Runs `action` once, at the first block the window shows.
    void atFirstBlock(std::function<void()> action)
    {
        f->onProgress = [this, action, done = false](int percent) mutable {
            if (percent > 0 && !done) {
                done = true;
                action();
            }
        };
    }

    static qint64 wavFrames(const QString &path) { return qint64(decodeWithFfmpeg(path).size()) / 2; }

    // Every file below dir, hidden ones (temporary files) included.
    // An earlier file at the track's place, to be answered Yes.
    void plantOldFile(const QString &path)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(writeFileBytes(path, "keep me"));
        f->prompter.answers << Prompter::Answer::Yes;
    }

private Q_SLOTS:
    void initTestCase() { f = std::make_unique<RipFixture>(); }
    void cleanupTestCase() { f.reset(); }

    // A stopped track is not whole: the earlier file answered Yes stays, nothing else is left.
    void stopInWorkerLeavesTheOldFile()
    {
        f->prepare({1, 2});
        const QString file = f->trackFile(1, ".wav");
        plantOldFile(file);
        atFirstBlock([] { fm_progress->skbtn_abort->click(); });
        f->rip(1);
        QCOMPARE(fileBytes(file), QByteArray("keep me"));
        QVERIFY(f->frames[0] > 2 * 44100);
        QCOMPARE(filesBelow(f->outDir()), QStringList{file});
        QVERIFY(!fm_progress->isVisible());
        QCOMPARE(f->desktop.openedFolders, QStringList{f->outDir() + QStringLiteral("/Band")});
    }

    void fileWrittenMeanwhileIsKept_data()
    {
        QTest::addColumn<bool>("existed"); // an earlier file was there, answered Yes
        QTest::addColumn<int>("format");
        QTest::newRow("new name, worker") << false << 1;
        QTest::newRow("answered Yes, worker") << true << 1;
        QTest::newRow("new name, WMA job") << false << 2;
    }

    // Another writer puts a file under the track's name while the track is read: that file is
    // kept, the track fails with a message, and the next track is ripped.
    void fileWrittenMeanwhileIsKept()
    {
        QFETCH(bool, existed);
        QFETCH(int, format);
        f->prepare({1, 2});
        const QString extension = format == 2 ? QStringLiteral(".wma") : QStringLiteral(".wav");
        const QString file = f->trackFile(1, extension);
        if (existed)
            plantOldFile(file);
        atFirstBlock([&] { writeFileBytes(file, "theirs"); });
        f->rip(format);
        QCOMPARE(fileBytes(file), QByteArray("theirs"));
        QVERIFY2(f->prompter.texts().contains(conflictMessage(file)), qPrintable(f->prompter.texts().join('|')));
        QCOMPARE(filesBelow(f->outDir()), (QStringList{file, f->trackFile(2, extension)}));
        QVERIFY(probeAudio(f->trackFile(2, extension)).ok);
    }

    void stopInWmaJobLeavesNoFile()
    {
        f->prepare({1, 2});
        bool pauseEnabled = true;
        // Pressed between the first and the second block: the second is still written.
        atFirstBlock([&] {
            pauseEnabled = fm_progress->skbtn_pause->isEnabled();
            QMetaObject::invokeMethod(fm_progress->skbtn_abort, &TskButton::click, Qt::QueuedConnection);
        });
        f->rip(2);
        QVERIFY(!pauseEnabled);
        QVERIFY(fm_progress->skbtn_pause->isEnabled());
        QCOMPARE(f->steps.last().percent, 2 * 44100 * 100 / int(f->frames[0])); // two blocks
        QCOMPARE(filesBelow(f->outDir()), QStringList());
        QCOMPARE(f->desktop.openedFolders, QStringList{f->outDir() + QStringLiteral("/Band")});
    }

    // Neither a close request nor a repaint touches a running WMA job; it closes the window.
    void wmaJobOutlivesCloseAndRepaint()
    {
        f->prepare({2});
        bool visibleAfterClose = false;
        atFirstBlock([&] {
            fm_progress->repaint();
            fm_progress->close();
            visibleAfterClose = fm_progress->isVisible();
        });
        f->rip(2);
        QVERIFY(visibleAfterClose);
        QVERIFY(!fm_progress->isVisible());
        const ProbeResult probe = probeAudio(f->trackFile(2, ".wma"));
        QVERIFY(qAbs(probe.seconds - double(f->frames[1]) / 44100) < 0.15);
        QVERIFY(f->prompter.boxes.isEmpty());
        QCOMPARE(f->desktop.openedFolders.size(), 1);
    }

    void playingAnsweredNoRipsNothing()
    {
        f->prepare({2});
        fm_main->playing = true;
        fm_main->AudioGrabber.setDriveReadType(1);
        IniFile().write(settings::cdType, 2);
        f->rip(1);
        fm_main->playing = false;
        QCOMPARE(f->prompter.texts(),
                 QStringList{"CD Playing will be stopped,do you want to continue?"});
        QCOMPARE(f->prompter.boxes.first().kind, Prompter::Kind::Information);
        QCOMPARE(fm_main->AudioGrabber.driveReadType(), 1);
        QVERIFY(f->steps.isEmpty());
        QVERIFY(!QFileInfo::exists(f->trackFile(2, ".wav")));
    }

    void pauseHoldsAndResumeContinues()
    {
        f->prepare({1});
        int stepsAtPause = -1, stepsAtResume = -1;
        QString captionWhileHeld;
        atFirstBlock([&] {
            fm_progress->skbtn_pause->click();
            stepsAtPause = int(f->steps.size());
            QTimer::singleShot(300, fm_progress, [&] {
                stepsAtResume = int(f->steps.size());
                captionWhileHeld = fm_progress->skbtn_pause->text();
                fm_progress->skbtn_pause->click();
            });
        });
        f->rip(1);
        QCOMPARE(captionWhileHeld, QStringLiteral("&Resume"));
        QCOMPARE(stepsAtResume, stepsAtPause);
        QCOMPARE(fm_progress->skbtn_pause->text(), QStringLiteral("&Pause"));
        QVERIFY(sameAsDisc(f->trackFile(1, ".wav"), 1, f->frames[0]));
    }

    void pauseThenStop()
    {
        f->prepare({1, 2});
        atFirstBlock([] {
            fm_progress->skbtn_pause->click();
            QTimer::singleShot(0, fm_progress, [] { fm_progress->skbtn_abort->click(); });
        });
        f->rip(1);
        QCOMPARE(fm_progress->skbtn_pause->text(), QStringLiteral("&Pause"));
        QCOMPARE(filesBelow(f->outDir()), QStringList());
    }

    // The worker of a closed window finishes alone; the next rip waits for it.
    void closedWindowThenRipAgain()
    {
        f->prepare({1});
        atFirstBlock([] { fm_progress->close(); });
        f->rip(1);
        QVERIFY(!fm_progress->isVisible());
        f->onProgress = nullptr;
        fm_main->sklv_main->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        fm_main->sklv_main->topLevelItem(2)->setCheckState(0, Qt::Checked);
        f->rip(1);
        QVERIFY(!QFileInfo::exists(f->trackFile(1, ".wav"))); // closed inside the track
        QVERIFY(sameAsDisc(f->trackFile(3, ".wav"), 3, f->frames[2]));
        QCOMPARE(f->desktop.openedFolders.size(), 2);
    }

    void stopAnswersAnOpenQuestion_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("extension");
        QTest::newRow("worker") << 1 << ".wav";
        QTest::newRow("wma job") << 2 << ".wma";
    }

    // The overwrite question leaves the rip window usable: Stop, pressed while it is open,
    // answers No for the user and ends the job as any Stop does.
    void stopAnswersAnOpenQuestion()
    {
        QFETCH(int, format);
        QFETCH(QString, extension);
        f->prepare({1, 2});
        const QString existing = f->trackFile(1, extension);
        QVERIFY(QDir().mkpath(QFileInfo(existing).path()));
        QVERIFY(writeFileBytes(existing, "an earlier rip"));
        f->prompter.leaveOpen = true;
        bool usable = false;
        f->prompter.onAsk = [&](const ScriptedPrompter::Record &) {
            QTimer::singleShot(0, fm_progress, [&] {
                usable = fm_progress->isVisible() && fm_progress->skbtn_abort->isEnabled()
                         && f->prompter.openQuestions.size() == 1;
                fm_progress->skbtn_abort->click();
            });
        };
        f->rip(format);
        QVERIFY(usable);
        QVERIFY(f->prompter.openQuestions.isEmpty());
        QCOMPARE(f->prompter.closedQuestions.size(), 1);
        QCOMPARE(f->prompter.closedQuestions.first().closedWith, Prompter::Answer::No);
        QCOMPARE(f->prompter.closedQuestions.first().record.caption, QStringLiteral("ERROR"));
        QCOMPARE(fileBytes(existing), QByteArray("an earlier rip"));
        QVERIFY(!QFileInfo::exists(f->trackFile(2, extension)));
        QVERIFY(!fm_progress->isVisible());
        QCOMPARE(f->desktop.openedFolders.size(), 1);
    }

    // Track 2 of the spare disc has 120 sectors; its image is cut after sector 100.
    void readError_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<QString>("lost");
        QTest::newRow("Stop, Yes keeps the block") << 0 << true << qint64(100 * 588) << "0.27 s skipped";
        QTest::newRow("Stop, No drops it") << 0 << false << qint64(75 * 588) << "0.60 s skipped";
        QTest::newRow("Cut") << 2 << false << qint64(100 * 588) << "0.27 s cut";
        QTest::newRow("Silence") << 1 << false << qint64(120 * 588) << "0.27 s replaced by silence";
    }

    // Every error action keeps the file and tells, at the end, what the track lost.
    void readError()
    {
        QFETCH(int, action);
        QFETCH(bool, goOn);
        QFETCH(qint64, frames);
        QFETCH(QString, lost);
        f->restoreSpare();
        f->prepare({1, 2}, f->spare);
        IniFile ini;
        ini.write(settings::errorAction, action);
        ini.write(settings::errorRetry, 1);
        ini.write(settings::grabMode, 0);
        // The disc is open since the refresh; sectors past 100 of track 2 become unreadable.
        f->damageSpare(100);
        f->prompter.defaultAnswer = goOn ? Prompter::Answer::Yes : Prompter::Answer::No;
        f->rip(1);
        QVERIFY(!f->prompter.boxes.isEmpty());
        if (action == 0) {
            QCOMPARE(f->prompter.boxes.first().caption, QStringLiteral("Track read error!"));
            QCOMPARE(f->prompter.boxes.first().text, QStringLiteral("Continue?"));
        }
        const QString file = f->trackFile(2, ".wav");
        std::vector<int16_t> samples = decodeWithFfmpeg(file);
        QCOMPARE(qint64(samples.size()) / 2, frames);
        const qint64 good = std::min<qint64>(frames, 100 * 588);
        samples.resize(size_t(good) * 2);
        QVERIFY(samples == cdImageSamples(2, 0, good));
        const ScriptedPrompter::Record report = f->prompter.boxes.last();
        QCOMPARE(report.caption, QStringLiteral("Track read error!"));
        QCOMPARE(report.buttons, Prompter::Buttons::Ok);
        QCOMPARE(report.text, QStringLiteral("Some audio could not be read:\nTrack 2 (Song 2): ") + lost);
        QCOMPARE(f->desktop.openedFolders.size(), 1);
    }

    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("extension");
        QTest::newRow("wav") << 1 << ".wav";
        QTest::newRow("ogg") << 3 << ".ogg";
        QTest::newRow("mp3") << 0 << ".mp3";
    }

    // The output folder holds 16 KB: the failure is told, the earlier file answered Yes stays,
    // no temporary file is left, and the next track is tried.
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(int, format);
        QFETCH(QString, extension);
        f->prepare({1, 2});
        SmallFolder small(f->outDir() + QStringLiteral("/small"), 16 * 1024);
        IniFile().write(settings::outputDirectory, small.path());
        const QString file = small.path() + QStringLiteral("/Band/1-Song 1") + extension;
        plantOldFile(file);
        small.limited([&] { f->rip(format); });
        const QString failed = QStringLiteral("Failed to write file ") + file;
        QVERIFY2(f->prompter.texts().contains(failed), qPrintable(f->prompter.texts().join('|')));
        for (const ScriptedPrompter::Record &box : f->prompter.boxes.mid(1))
            QCOMPARE(box.caption, QStringLiteral("File write error!"));
        QCOMPARE(fileBytes(file), QByteArray("keep me"));
        for (const QString &left : filesBelow(small.path()))
            QVERIFY2(left == file || left.endsWith(QStringLiteral("/Band/2-Song 2") + extension), qPrintable(left));
    }

    void formatButtons_data()
    {
        QTest::addColumn<int>("format");
        for (int format = 0; format < 4; ++format)
            QTest::addRow("format %d", format) << format;
    }

    void formatButtons()
    {
        QFETCH(int, format);
        f->prepare({});
        TskImageButton *const buttons[] = {fm_main->btn_mp3, fm_main->btn_wav, fm_main->btn_wma,
                                           fm_main->btn_ogg};
        fm_main->skinMenuClick(1);
        buttons[format]->click();
        QCOMPARE(IniFile().read(settings::outputType), format);
        QCOMPARE(fm_main->output_format, format);
        // A change of skin keeps the selection, in the new skin's pictures.
        for (int skin : {1, 5}) {
            if (skin != 1)
                fm_main->skinMenuClick(skin);
            for (int b = 0; b < 4; ++b) {
                const auto pic = [](int slot) { return fm_main->skin_pic[size_t(slot)].toImage(); };
                const int plain = 22 + 5 * b;
                QVERIFY(pic(plain) != pic(plain + 1)); // the skin tells selected from plain
                const int shown = plain + (b == format ? 1 : 0);
                QCOMPARE(buttons[b]->PicNormal.toImage(), pic(shown));
                QCOMPARE(buttons[b]->PicMouseOn.toImage(), pic(shown + 2));
                QCOMPARE(buttons[b]->PicMouseDown.toImage(), pic(plain + 4));
            }
        }
        QVERIFY(f->prompter.boxes.isEmpty());
    }

    void cdSettingsReachTheGrabber_data()
    {
        QTest::addColumn<int>("cdType");
        QTest::addColumn<int>("readType");
        QTest::newRow("Auto") << 0 << 0;
        QTest::newRow("IDE") << 1 << 1;
        QTest::newRow("SCSI") << 2 << 4;
        QTest::newRow("SCSI(old)") << 3 << 3;
        QTest::newRow("unknown keeps it") << 5 << 1;
    }

    void cdSettingsReachTheGrabber()
    {
        QFETCH(int, cdType);
        QFETCH(int, readType);
        f->prepare({});
        AudioGrabber &grabber = fm_main->AudioGrabber;
        grabber.setDriveReadType(1);
        IniFile ini;
        ini.write(settings::cdType, cdType);
        ini.write(settings::grabMode, 3);
        ini.write(settings::errorRetry, 7);
        ini.write(settings::errorAction, 1);
        ini.write(settings::driveSpeed, 8);
        ini.write(settings::cdUnit, 1);
        f->rip(1);
        QCOMPARE(grabber.driveReadType(), readType);
        QCOMPARE(grabber.GrabModePreset(), 3);
        QCOMPARE(grabber.grabOnErrorRetries(), 7);
        QCOMPARE(grabber.grabOnErrorAction(), 1);
        QCOMPARE(grabber.driveSpeed(), 8);
        QCOMPARE(grabber.driveNum(), 2);
        // Nothing ticked: the command ends with its message and opens no window.
        QCOMPARE(f->prompter.boxes.size(), 1);
        QCOMPARE(f->prompter.boxes.first().kind, Prompter::Kind::Plain);
        QCOMPARE(f->prompter.boxes.first().text, QStringLiteral("You have not select one track!"));
        QVERIFY(f->steps.isEmpty());
        QVERIFY(f->desktop.openedFolders.isEmpty());
    }
};

HARVELO_TEST_MAIN(TestRipControls, QApplication)
#include "tst_rip_controls.moc"
