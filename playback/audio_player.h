#pragma once

#include "codec/sample_block.h"

#include <QObject>
#include <memory>

// Plays queued blocks through Qt Multimedia (or a real-time null output when
// HARVELO_AUDIO_OUTPUT=null). Lives on the UI thread; its signals arrive there, always through
// the event loop. OnEndBlockPlay comes once per block played; OnRequestOnLoadBlock when the
// output runs dry before the end; OnEndPlay once the end (an empty block) is reached and every
// block before it has been played. Stop discards the queue; Play after it starts afresh.
class AudioPlayer : public QObject {
    Q_OBJECT
public:
    explicit AudioPlayer(QObject *parent = nullptr);
    ~AudioPlayer() override;

    void Play();
    void Stop();
    void QueueBlock(const SampleBlock &block); // keeps a copy
    void SetPcmFormat(int frequency, int channels);
    int BlockSamples(int ms) const;
    int ErrorCode() const; // non-zero when the last Play found no output device

Q_SIGNALS:
    void OnEndBlockPlay();
    void OnRequestOnLoadBlock();
    void OnEndPlay();

private:
    void blockConsumed();
    void outputIdle();
    void postEvent(void (AudioPlayer::*handler)());

    struct Private;
    std::unique_ptr<Private> d;
};
