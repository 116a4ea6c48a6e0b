#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <type_traits>

// Stop and Pause/Resume of one job, shared by the UI thread (which requests) and the worker
// (which checks at block and file boundaries). Stop is cooperative: nothing is interrupted
// inside a component call.
class JobControl {
public:
    void requestStop();
    bool stopRequested() const { return m_stop.load(); }

    void pause();
    void resume();
    bool isPaused() const { return m_paused.load(); }

    // Called by the worker at a boundary: waits while paused (a Stop wakes it) and returns
    // false once a Stop was requested.
    bool checkpoint();

    // Before a new job.
    void reset();

private:
    std::atomic_bool m_stop{false};
    std::atomic_bool m_paused{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

// Runs fn on the thread that owns `context` (the UI thread for a window) and returns its
// result; the calling worker waits. Called on that thread itself, fn simply runs.
template <typename F>
auto runOn(QObject *context, F &&fn) -> std::invoke_result_t<F>
{
    using R = std::invoke_result_t<F>;
    if (QThread::currentThread() == context->thread()) {
        return fn();
    } else if constexpr (std::is_void_v<R>) {
        QMetaObject::invokeMethod(context, std::forward<F>(fn), Qt::BlockingQueuedConnection);
    } else {
        R result{};
        QMetaObject::invokeMethod(context, std::forward<F>(fn), Qt::BlockingQueuedConnection,
                                  &result);
        return result;
    }
}

// Posts fn to the thread that owns `context` without waiting (progress labels and bars).
template <typename F>
void postTo(QObject *context, F &&fn)
{
    QMetaObject::invokeMethod(context, std::forward<F>(fn), Qt::QueuedConnection);
}
