#pragma once

#include "playback/audio_output.h"

#include <QAudio>
#include <memory>

class QAudioSink;

// The default output device through QAudioSink (PulseAudio underneath).
class QtAudioOutput : public AudioOutput {
    Q_OBJECT
public:
    QtAudioOutput();
    ~QtAudioOutput() override;

    bool start(QIODevice *source, int sampleRate, int channels) override;
    void stop() override;
    bool isIdle() const override;

private:
    void onStateChanged(QAudio::State state);

    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_source = nullptr;
};
