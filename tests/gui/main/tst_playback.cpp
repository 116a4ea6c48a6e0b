#include "gui/main/harvelo_application.h"
#include "tests/gui/main/disc_window.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

namespace {

// Long enough that the two blocks queued at the start (one second) cannot finish it alone.
constexpr int kTrackMs = 2000;

void click(TskImageButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

void selectRow(int row)
{
    fm_main->sklv_main->setCurrentItem(DiscWindow::row(row));
}

} // namespace

class TestPlayback : public QObject {
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    RecordingDesktop m_desktop;
    DiscWindow m_window;
    QString m_cue;

    // Checks the normal pictures of play and pause against their slots.
    void expectPictures(int playSlot, int pauseSlot)
    {
        QVERIFY2(DiscWindow::shows(fm_main->btn_play->PicNormal, playSlot),
                 qPrintable(QString("play should show slot %1").arg(playSlot)));
        QVERIFY2(DiscWindow::shows(fm_main->btn_pause->PicNormal, pauseSlot),
                 qPrintable(QString("pause should show slot %1").arg(pauseSlot)));
    }

    void startPlaying(int row)
    {
        selectRow(row);
        click(fm_main->btn_play);
        QVERIFY(fm_main->playing);
        QVERIFY(!fm_main->paused);
        expectPictures(9, 10);
    }

private Q_SLOTS:
    void init()
    {
        testEnv().clearIni();
        m_prompter.clear();
        m_desktop.clear();
        m_cue = DiscWindow::insertDisc({{cdFramesForMs(kTrackMs), "First"},
                                        {cdFramesForMs(kTrackMs), "Second"}});
        m_window.start();
        DiscWindow::distinctSkinPictures();
        m_prompter.clear();
    }
    void cleanup() { m_window.stop(); }

    void playWithoutASelectedRowAsksForOne()
    {
        fm_main->sklv_main->clearSelection();
        click(fm_main->btn_play);
        QCOMPARE(m_prompter.texts(), QStringList{"Please select one track you wish to play!"});
        QCOMPARE(m_prompter.boxes.first().kind, Prompter::Kind::Information);
        QCOMPARE(m_prompter.boxes.first().buttons, Prompter::Buttons::Ok);
        QVERIFY(!fm_main->playing);
        expectPictures(7, 10);
    }

    void pauseAndStopDoNothingWhileStopped()
    {
        click(fm_main->btn_pause);
        click(fm_main->btn_stop);
        QVERIFY(!fm_main->playing);
        QVERIFY(!fm_main->paused);
        QVERIFY(m_prompter.boxes.isEmpty());
        expectPictures(7, 10);
    }

    void playPauseAndResume_data()
    {
        QTest::addColumn<bool>("resumeByPlay");
        QTest::newRow("resume by play") << true;
        QTest::newRow("resume by pause") << false;
    }
    void playPauseAndResume()
    {
        QFETCH(bool, resumeByPlay);
        startPlaying(1);
        QCOMPARE(fm_main->AudioGrabber.trackNum(), 2);
        QCOMPARE(fm_main->block_samples, 44100); // 500 ms of 16-bit stereo samples

        click(fm_main->btn_pause);
        QVERIFY(fm_main->playing);
        QVERIFY(fm_main->paused);
        expectPictures(7, 12);

        click(resumeByPlay ? fm_main->btn_play : fm_main->btn_pause);
        QVERIFY(fm_main->playing);
        QVERIFY(!fm_main->paused);
        expectPictures(9, 10);
        // The resumed track plays on to its end.
        QTRY_VERIFY_WITH_TIMEOUT(!fm_main->playing, 15000);
        expectPictures(7, 10);
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void playWhilePlayingChangesNothing()
    {
        startPlaying(0);
        selectRow(1);
        click(fm_main->btn_play);
        QVERIFY(fm_main->playing);
        QCOMPARE(fm_main->AudioGrabber.trackNum(), 1);
        QCOMPARE(fm_main->AudioGrabber.GrabModePreset(), 0);
        expectPictures(9, 10);
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void stopWhilePausedResetsBothButtons()
    {
        startPlaying(0);
        click(fm_main->btn_pause);
        click(fm_main->btn_stop);
        QVERIFY(!fm_main->playing);
        QVERIFY(!fm_main->paused);
        expectPictures(7, 10);
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void trackEndsByItselfAndPlaysAgain()
    {
        QElapsedTimer clock;
        clock.start();
        startPlaying(0);
        QTRY_VERIFY_WITH_TIMEOUT(!fm_main->playing, 15000);
        // The rest of the track came one block per request.
        QVERIFY2(clock.elapsed() >= kTrackMs - 400, qPrintable(QString::number(clock.elapsed())));
        expectPictures(7, 10);

        // A new Play opens the selected track from its start.
        clock.restart();
        startPlaying(0);
        QTRY_VERIFY_WITH_TIMEOUT(!fm_main->playing, 15000);
        QVERIFY(clock.elapsed() >= kTrackMs - 400);
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    void refreshWhilePlayingAsksFirst_data()
    {
        QTest::addColumn<Prompter::Answer>("answer");
        QTest::newRow("no keeps playing") << Prompter::Answer::No;
        QTest::newRow("yes stops and refreshes") << Prompter::Answer::Yes;
    }
    void refreshWhilePlayingAsksFirst()
    {
        QFETCH(Prompter::Answer, answer);
        startPlaying(0);
        DiscWindow::row(1)->setText(1, "Renamed");
        DiscWindow::row(0)->setCheckState(0, Qt::Unchecked);
        m_prompter.answers.enqueue(answer);
        click(fm_main->btn_refresh);
        QCOMPARE(m_prompter.texts(), QStringList{"CD Playing will be stopped,do you want to continue?"});
        QCOMPARE(m_prompter.boxes.first().kind, Prompter::Kind::Information);
        QCOMPARE(m_prompter.boxes.first().buttons, Prompter::Buttons::YesNo);
        const bool kept = answer == Prompter::Answer::No;
        QCOMPARE(fm_main->playing, kept);
        QCOMPARE(DiscWindow::column(1), (QStringList{"First", kept ? "Renamed" : "Second"}));
        QCOMPARE(DiscWindow::tickedRows(), kept ? 1 : 2);
        expectPictures(kept ? 9 : 7, 10);
    }

    void trackThatCannotBeOpened()
    {
        QVERIFY(QFile::remove(QString(m_cue).replace(".cue", ".bin")));
        selectRow(0);
        click(fm_main->btn_play);
        QCOMPARE(m_prompter.texts(), QStringList{"Track Open Error!"});
        QCOMPARE(m_prompter.boxes.first().kind, Prompter::Kind::Error);
        QVERIFY(!fm_main->playing);
        expectPictures(7, 10);
    }

    void deviceThatDoesNotStart()
    {
        // Without the null output the player needs a sound server, and the test's private
        // runtime directory holds none.
        qunsetenv("HARVELO_AUDIO_OUTPUT");
        selectRow(0);
        click(fm_main->btn_play);
        qputenv("HARVELO_AUDIO_OUTPUT", "null");
        if (m_prompter.boxes.isEmpty()) {
            click(fm_main->btn_stop);
            QSKIP("an audio device is available here");
        }
        QCOMPARE(m_prompter.texts(), QStringList{"Failed to start device!"});
        QCOMPARE(m_prompter.boxes.first().kind, Prompter::Kind::Error);
        QVERIFY(!fm_main->playing);
        expectPictures(7, 10);
        // The track was closed: a later Play on a working output starts it afresh.
        startPlaying(0);
    }
};

HARVELO_TEST_MAIN(TestPlayback, HarveloApplication)
#include "tst_playback.moc"
