#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <type_traits>

// The steps of a track or file at which a job reports to a test hook (see
// JobControl::setStepHook). A job that reads its source once and encodes in the same pass
// reports EncodingStarts before its first block and ReadingEnded, EncodingEnded after its last.
enum class JobStep {
    LastBlockRead,  // the reading pass holds its last block, not yet kept
    ReadingEnded,   // the reading pass is over: the spool, or the measured peak, is complete
    EncodingStarts, // the pass that writes the file is about to read its first block
    EncodingEnded,  // that pass is over
    BeforeCommit,   // the file is closed (and tagged); next it would replace its final name
};

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

    // For tests: a function that every job calls at each JobStep, on the job's thread, with
    // the job's control (to request a Stop exactly there). Set it while no job runs; the
    // program sets none, and a step then costs a test of an empty function.
    using StepHook = std::function<void(JobStep, JobControl &)>;
    static void setStepHook(StepHook hook);
    void reached(JobStep step);

private:
    std::atomic_bool m_stop{false};
    std::atomic_bool m_paused{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

class PartFile;

// Whether the part file replaced its final name: not after a Stop, however late it came.
// Reports BeforeCommit first.
bool commitUnlessStopped(PartFile &part, JobControl &control);

// The thread sanitizer cannot see the queue and the semaphore inside Qt that carry a blocking
// queued call; these tell it that what the caller did happens before the call runs, and what
// the call did happens before the caller goes on.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
inline void handOver(void *token) { __tsan_release(token); }
inline void takeOver(void *token) { __tsan_acquire(token); }
#else
inline void handOver(void *) {}
inline void takeOver(void *) {}
#endif

// Runs fn on the thread that owns `context` (the UI thread for a window) and returns its
// result; the calling worker waits. Called on that thread itself, fn simply runs.
template <typename F>
auto runOn(QObject *context, F &&fn) -> std::invoke_result_t<F>
{
    using R = std::invoke_result_t<F>;
    if (QThread::currentThread() == context->thread()) {
        return fn();
    } else if constexpr (std::is_void_v<R>) {
        int token = 0;
        const auto call = [&fn, &token] {
            takeOver(&token);
            fn();
            handOver(&token);
        };
        handOver(&token);
        QMetaObject::invokeMethod(context, call, Qt::BlockingQueuedConnection);
        takeOver(&token);
    } else {
        R result{};
        // The result is written here rather than by Qt, so that it is handed over too.
        const auto call = [&fn, &result] {
            takeOver(&result);
            result = fn();
            handOver(&result);
        };
        handOver(&result);
        QMetaObject::invokeMethod(context, call, Qt::BlockingQueuedConnection);
        takeOver(&result);
        return result;
    }
}

// Posts fn to the thread that owns `context` without waiting (progress labels and bars).
template <typename F>
void postTo(QObject *context, F &&fn)
{
    QMetaObject::invokeMethod(context, std::forward<F>(fn), Qt::QueuedConnection);
}
