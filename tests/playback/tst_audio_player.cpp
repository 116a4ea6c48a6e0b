#include "playback/audio_player.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {

SampleBlock block(int samples, int16_t value = 1000)
{
    return SampleBlock(std::vector<int16_t>(size_t(samples), value), 44100, 2);
}

// Feeds the player as the main window does: two blocks at the start, one more for every
// block played, then empty blocks once `total` blocks were queued.
class Feeder : public QObject {
public:
    Feeder(AudioPlayer &player, int blockSamples, int total)
        : m_player(player), m_blockSamples(blockSamples), m_total(total)
    {
        connect(&player, &AudioPlayer::OnEndBlockPlay, this, [this] { ++played; feed(); });
        connect(&player, &AudioPlayer::OnRequestOnLoadBlock, this, [this] { feed(); });
        connect(&player, &AudioPlayer::OnEndPlay, this, [this] { endedAfter = played; });
    }
    void start()
    {
        feed();
        feed();
    }
    void feed()
    {
        m_player.QueueBlock(queued < m_total ? block(m_blockSamples) : block(0));
        queued = std::min(queued + 1, m_total);
    }

    int queued = 0;
    int played = 0;
    int endedAfter = -1;

private:
    AudioPlayer &m_player;
    int m_blockSamples;
    int m_total;
};

} // namespace

class TestAudioPlayer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(qEnvironmentVariable("HARVELO_AUDIO_OUTPUT"), QStringLiteral("null"));
        // No sound server for this process: the device test below must find none.
        qputenv("PULSE_SERVER", "unix:/nonexistent/harvelo-no-pulse");
    }

    void blockSamples_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("samples");
        QTest::newRow("CD, 500 ms") << 44100 << 2 << 500 << 44100;
        QTest::newRow("CD, 20 ms") << 44100 << 2 << 20 << 1764;
        QTest::newRow("mono 22050") << 22050 << 1 << 500 << 11025;
    }
    void blockSamples()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, ms);
        AudioPlayer player;
        player.SetPcmFormat(rate, channels);
        QTEST(player.BlockSamples(ms), "samples");
    }

    void playsInRealTime_data()
    {
        QTest::addColumn<int>("blockMs");
        QTest::addColumn<int>("blocks");
        QTest::newRow("one block") << 200 << 1;
        QTest::newRow("five blocks") << 100 << 5;
        QTest::newRow("odd block size") << 77 << 4;
        QTest::newRow("blocks shorter than the output's step") << 4 << 6;
    }
    void playsInRealTime()
    {
        QFETCH(int, blockMs);
        QFETCH(int, blocks);
        AudioPlayer player;
        player.SetPcmFormat(44100, 2);
        Feeder feeder(player, player.BlockSamples(blockMs), blocks);
        QSignalSpy ended(&player, &AudioPlayer::OnEndPlay);
        QElapsedTimer clock;
        clock.start();
        player.Play();
        QCOMPARE(player.ErrorCode(), 0);
        feeder.start();
        QVERIFY(ended.wait(5000));
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(feeder.played, blocks);
        QCOMPARE(feeder.endedAfter, blocks);
        QVERIFY2(elapsed >= blockMs * blocks - 20, qPrintable(QString::number(elapsed)));
        QVERIFY(!ended.wait(150));
        QCOMPARE(ended.count(), 1);
        player.Stop();
    }

    void stopInTheMiddle()
    {
        AudioPlayer player;
        Feeder feeder(player, player.BlockSamples(50), 100);
        QSignalSpy played(&player, &AudioPlayer::OnEndBlockPlay);
        QSignalSpy ended(&player, &AudioPlayer::OnEndPlay);
        player.Play();
        feeder.start();
        QTRY_VERIFY_WITH_TIMEOUT(played.count() >= 2, 3000);
        player.Stop();
        const int atStop = int(played.count());
        QVERIFY(!played.wait(200));
        QCOMPARE(played.count(), atStop);
        QCOMPARE(ended.count(), 0);

        // Play after Stop starts afresh: nothing of the old queue is played.
        Feeder fresh(player, player.BlockSamples(50), 1);
        QObject::disconnect(&player, nullptr, &feeder, nullptr);
        player.Play();
        fresh.start();
        QVERIFY(ended.wait(3000));
        QCOMPARE(played.count(), atStop + 1);
    }

    void asksForMoreWhenRunningDry()
    {
        AudioPlayer player;
        QSignalSpy requested(&player, &AudioPlayer::OnRequestOnLoadBlock);
        QSignalSpy ended(&player, &AudioPlayer::OnEndPlay);
        player.Play();
        player.QueueBlock(block(player.BlockSamples(50)));
        QVERIFY(requested.wait(3000));
        QCOMPARE(ended.count(), 0);
        player.QueueBlock(block(0));
        QVERIFY(ended.wait(3000));
    }

    void noOutputDevice()
    {
        qunsetenv("HARVELO_AUDIO_OUTPUT");
        AudioPlayer player;
        QSignalSpy ended(&player, &AudioPlayer::OnEndPlay);
        player.Play();
        QVERIFY(player.ErrorCode() != 0);
        player.QueueBlock(block(0));
        player.Stop();
        QVERIFY(!ended.wait(100));
        qputenv("HARVELO_AUDIO_OUTPUT", "null");
        player.Play();
        QCOMPARE(player.ErrorCode(), 0);
        player.Stop();
    }
};

HARVELO_TEST_MAIN(TestAudioPlayer, QCoreApplication)
#include "tst_audio_player.moc"
