#include "playback/audio_player.h"

#include "playback/audio_output.h"
#include "playback/pcm_queue.h"

#include <atomic>

namespace {

enum PlayerError { NoError = 0, DeviceError = 1 };

} // namespace

struct AudioPlayer::Private {
    explicit Private(AudioPlayer *player)
        : queue([player] { player->blockConsumed(); })
    {
    }

    PcmQueue queue;
    std::unique_ptr<AudioOutput> output;
    int sampleRate = 44100;
    int channels = 2;
    int errorCode = NoError;
    // Bumped by Play and Stop, so events of an earlier run that are still queued are dropped.
    std::atomic<quint64> run = 0;
    bool endSent = false;
};

AudioPlayer::AudioPlayer(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this)) {}

AudioPlayer::~AudioPlayer()
{
    Stop();
}

void AudioPlayer::Play()
{
    d->errorCode = NoError;
    if (d->output)
        return;
    ++d->run;
    d->endSent = false;
    d->output = AudioOutput::create();
    // Posted like the block events, so that the end never overtakes a block played before it.
    connect(d->output.get(), &AudioOutput::becameIdle, this,
            [this] { postEvent(&AudioPlayer::outputIdle); });
    if (!d->output->start(&d->queue, d->sampleRate, d->channels)) {
        d->output.reset();
        d->errorCode = DeviceError;
    }
}

void AudioPlayer::Stop()
{
    if (d->output)
        d->output->stop();
    d->output.reset();
    d->queue.clear();
    ++d->run;
}

void AudioPlayer::QueueBlock(const SampleBlock &block)
{
    d->queue.append(block);
    // An end queued while the output already starves would otherwise never be noticed.
    if (block.isEmpty() && d->output && d->output->isIdle())
        postEvent(&AudioPlayer::outputIdle);
}

void AudioPlayer::SetPcmFormat(int frequency, int channels)
{
    d->sampleRate = frequency;
    d->channels = channels;
}

int AudioPlayer::BlockSamples(int ms) const
{
    return int(qint64(d->sampleRate) * d->channels * ms / 1000);
}

int AudioPlayer::ErrorCode() const
{
    return d->errorCode;
}

void AudioPlayer::blockConsumed()
{
    postEvent(&AudioPlayer::OnEndBlockPlay);
}

void AudioPlayer::outputIdle()
{
    if (!d->output || d->endSent)
        return;
    if (d->queue.drained()) {
        d->endSent = true;
        Q_EMIT OnEndPlay();
    } else if (d->queue.bytesAvailable() == 0) {
        Q_EMIT OnRequestOnLoadBlock();
    }
}

// Events reach the owner through its event loop, never from inside an output's read.
void AudioPlayer::postEvent(void (AudioPlayer::*handler)())
{
    const quint64 run = d->run;
    QMetaObject::invokeMethod(
        this,
        [this, run, handler] {
            if (run == d->run && d->output)
                (this->*handler)();
        },
        Qt::QueuedConnection);
}
