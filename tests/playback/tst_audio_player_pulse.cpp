#include "playback/audio_player.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>
#include <cstdio>
#include <cstdlib>

// Playback through the real QAudioSink path, against the PulseAudio null sink that the test
// script starts (HARVELO_PULSE_READY=1).
class TestAudioPlayerPulse : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariable("HARVELO_PULSE_READY") != QLatin1String("1"))
            QSKIP("no PulseAudio null sink (HARVELO_PULSE_READY is not 1)");
        qunsetenv("HARVELO_AUDIO_OUTPUT");
    }

    void playsThroughTheSoundServer()
    {
        AudioPlayer player;
        player.SetPcmFormat(44100, 2);
        const int samples = player.BlockSamples(150);
        int queued = 0;
        const auto feed = [&] {
            const bool audio = queued++ < 8;
            player.QueueBlock(SampleBlock(std::vector<int16_t>(audio ? size_t(samples) : 0, 800), 44100, 2));
        };
        connect(&player, &AudioPlayer::OnEndBlockPlay, this, feed);
        connect(&player, &AudioPlayer::OnRequestOnLoadBlock, this, feed);
        QSignalSpy played(&player, &AudioPlayer::OnEndBlockPlay);
        QSignalSpy ended(&player, &AudioPlayer::OnEndPlay);
        QElapsedTimer clock;
        clock.start();
        player.Play();
        QCOMPARE(player.ErrorCode(), 0);
        feed();
        feed();
        QVERIFY(ended.wait(10000));
        QCOMPARE(played.count(), 8);
        // 1.2 s of audio: the sound server buffers ahead of what is heard, so the end comes a
        // little early, but never as fast as the blocks were handed over.
        QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
        player.Stop();
    }
};

// The sound server's socket is in the runtime directory the script made; the test environment
// replaces that directory with a private one, so name the socket first.
int main(int argc, char **argv)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER") && !runtime.isEmpty())
        qputenv("PULSE_SERVER", "unix:" + runtime + "/pulse/native");
    TestEnv env;
    QCoreApplication app(argc, argv);
    TestAudioPlayerPulse test;
    const int status = QTest::qExec(&test, argc, argv);
    // Qt Multimedia's PulseAudio engine is a global torn down after the application object and
    // at times crashes while doing so; the verdict is in, so leave without static destruction.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

#include "tst_audio_player_pulse.moc"
