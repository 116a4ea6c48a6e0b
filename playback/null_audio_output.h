#pragma once

#include "playback/audio_output.h"

#include <QElapsedTimer>
#include <QTimer>

// Consumes the source at the rate real playback would, without a sound card. Time the source
// could not fill counts as silence already played, as a starved sound card would do.
class NullAudioOutput : public AudioOutput {
    Q_OBJECT
public:
    NullAudioOutput();

    bool start(QIODevice *source, int sampleRate, int channels) override;
    void stop() override;
    bool isIdle() const override { return m_idle; }

private:
    void consume();

    QIODevice *m_source = nullptr;
    qint64 m_bytesPerSecond = 0;
    qint64 m_consumed = 0;
    bool m_idle = false;
    QElapsedTimer m_clock;
    QTimer m_tick;
};
