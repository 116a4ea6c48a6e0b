#include "playback/null_audio_output.h"

#include <QIODevice>
#include <vector>

namespace {

constexpr int kTickMs = 10;

} // namespace

NullAudioOutput::NullAudioOutput()
{
    m_tick.setInterval(kTickMs);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &NullAudioOutput::consume);
}

bool NullAudioOutput::start(QIODevice *source, int sampleRate, int channels)
{
    if (sampleRate <= 0 || channels <= 0 || !source->open(QIODevice::ReadOnly))
        return false;
    m_source = source;
    m_bytesPerSecond = qint64(sampleRate) * channels * 2;
    m_consumed = 0;
    m_idle = false;
    m_clock.start();
    m_tick.start();
    return true;
}

void NullAudioOutput::stop()
{
    m_tick.stop();
    if (m_source)
        m_source->close();
    m_source = nullptr;
}

void NullAudioOutput::consume()
{
    const qint64 due = (m_clock.nsecsElapsed() * m_bytesPerSecond / 1'000'000'000) & ~qint64(3);
    const qint64 wanted = due - m_consumed;
    if (wanted <= 0)
        return;
    std::vector<char> sink(size_t(wanted), 0);
    const qint64 got = m_source->read(sink.data(), wanted);
    m_consumed = due;
    const bool idle = got < wanted;
    if (idle && !m_idle) {
        m_idle = true;
        Q_EMIT becameIdle();
    }
    m_idle = idle;
}
