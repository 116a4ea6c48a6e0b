#pragma once

#include "audio/sample_block.h"

#include <QObject>
#include <memory>

// Plays queued blocks through Qt Multimedia (or a real-time null output when
// HARVELO_AUDIO_OUTPUT=null). Lives on the UI thread; its signals arrive there.
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
    int ErrorCode() const;

Q_SIGNALS:
    void OnEndBlockPlay();
    void OnRequestOnLoadBlock();
    void OnEndPlay();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
