#include "rip/track_encoders.h"

#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QThread>
#include <algorithm>

TrackEncoders::~TrackEncoders()
{
    m_abandon = true;
    for (const auto &entry : m_line) {
        if (entry->thread.joinable())
            entry->thread.join();
    }
}

void TrackEncoders::add(std::unique_ptr<TrackEncoding> track, Work work)
{
    auto entry = std::make_unique<Entry>();
    entry->track = std::move(track);
    Entry *e = entry.get();
    const std::lock_guard lock(m_mutex);
    entry->done = !work;
    if (work)
        e->thread = std::thread([this, e, work = std::move(work)] {
            try {
                work(*e->track, m_abandon);
            } catch (...) {
                e->track->error = std::current_exception();
            }
            const std::lock_guard lock(m_mutex);
            e->done = true;
            m_doneChanged.notify_all();
        });
    m_line.push_back(std::move(entry));
}

std::deque<std::unique_ptr<TrackEncoding>> TrackEncoders::takeDone(int keep)
{
    std::deque<std::unique_ptr<TrackEncoding>> taken;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_line.empty())
            break;
        if (!m_line.front()->done) {
            if (int(m_line.size()) <= keep)
                break;
            m_doneChanged.wait(lock, [this] { return m_line.front()->done; });
        }
        std::unique_ptr<Entry> entry = std::move(m_line.front());
        m_line.pop_front();
        if (entry->thread.joinable())
            entry->thread.join(); // done: it only returns
        taken.push_back(std::move(entry->track));
    }
    return taken;
}

int TrackEncoders::encoding() const
{
    const std::lock_guard lock(m_mutex);
    return int(std::count_if(m_line.begin(), m_line.end(), [](const auto &e) { return !e->done; }));
}

int ripEncoderThreads(std::optional<int> override)
{
    const int threads = override.value_or(IniFile().read(settings::encoderThreads));
    return threads > 0 ? threads : std::max(1, QThread::idealThreadCount());
}
