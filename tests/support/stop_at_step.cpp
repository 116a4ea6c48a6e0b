#include "tests/support/stop_at_step.h"

StopAtStep::StopAtStep(JobStep step, int occurrence, std::optional<JobStep> hold)
{
    JobControl::setStepHook([this, step, occurrence, hold](JobStep reached, JobControl &control) {
        if (reached == step && ++m_seen == occurrence) {
            control.requestStop();
            const std::lock_guard lock(m_mutex);
            m_stop = true;
            m_stopped.notify_all();
        } else if (reached == hold && !m_held.exchange(true)) {
            holdUntilStop();
        }
    });
}

void StopAtStep::holdUntilStop()
{
    std::unique_lock lock(m_mutex);
    m_stopped.wait_for(lock, std::chrono::seconds(20), [this] { return m_stop; });
}

StopAtStep::~StopAtStep()
{
    JobControl::setStepHook({});
}

QList<NamedStep> allJobSteps()
{
    return {{JobStep::LastBlockRead, QStringLiteral("after the last block is read")},
            {JobStep::ReadingEnded, QStringLiteral("after the reading pass")},
            {JobStep::EncodingStarts, QStringLiteral("before the encoding pass")},
            {JobStep::EncodingEnded, QStringLiteral("after the encoding pass")},
            {JobStep::BeforeCommit, QStringLiteral("before the commit")}};
}
