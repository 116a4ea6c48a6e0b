#pragma once

#include <QObject>
#include <memory>

class QIODevice;

// Where the player's bytes go: the sound card through Qt Multimedia, or, with
// HARVELO_AUDIO_OUTPUT=null, an output that takes them in real time and plays nothing.
// Lives on the player's thread and reads `source` in pull mode.
class AudioOutput : public QObject {
    Q_OBJECT
public:
    // False when there is no output device or it does not start.
    virtual bool start(QIODevice *source, int sampleRate, int channels) = 0;
    virtual void stop() = 0;
    // Everything taken from the source has been played and the source had nothing more.
    virtual bool isIdle() const = 0;

    static std::unique_ptr<AudioOutput> create();

Q_SIGNALS:
    void becameIdle();
};
