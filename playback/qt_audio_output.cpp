#include "playback/qt_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

QtAudioOutput::QtAudioOutput() = default;

QtAudioOutput::~QtAudioOutput()
{
    stop();
}

bool QtAudioOutput::start(QIODevice *source, int sampleRate, int channels)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!source->open(QIODevice::ReadOnly))
        return false;
    m_source = source;
    m_sink = std::make_unique<QAudioSink>(device, format);
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &QtAudioOutput::onStateChanged);
    m_sink->start(source);
    if (m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState) {
        stop();
        return false;
    }
    return true;
}

void QtAudioOutput::stop()
{
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink.reset();
    }
    if (m_source)
        m_source->close();
    m_source = nullptr;
}

bool QtAudioOutput::isIdle() const
{
    return m_sink && m_sink->state() == QAudio::IdleState;
}

void QtAudioOutput::onStateChanged(QAudio::State state)
{
    if (state == QAudio::IdleState)
        Q_EMIT becameIdle();
}
