#pragma once

#include "jobs/job_control.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

// Requests a Stop the n-th time a job reaches `step`, on the job's own thread and exactly
// there, for as long as it lives. With `hold`, the thread that first reaches that step waits
// there until the Stop (at most 20 s): for a job on several threads, a file that is certainly
// still being written when the Stop comes.
class StopAtStep {
public:
    StopAtStep(JobStep step, int occurrence, std::optional<JobStep> hold = std::nullopt);
    ~StopAtStep();
    StopAtStep(const StopAtStep &) = delete;
    StopAtStep &operator=(const StopAtStep &) = delete;

    // How often the step was reached so far.
    int seen() const { return m_seen.load(); }

private:
    void holdUntilStop();

    std::atomic_int m_seen{0};
    std::atomic_bool m_held{false};
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stop = false;
};

// Every step with a name for a test table's rows.
struct NamedStep {
    JobStep step;
    QString name;
};
QList<NamedStep> allJobSteps();

Q_DECLARE_METATYPE(JobStep)
