#include "jobs/job_control.h"

#include "jobs/part_file.h"

namespace {

JobControl::StepHook &stepHook()
{
    static JobControl::StepHook hook;
    return hook;
}

} // namespace

void JobControl::requestStop()
{
    std::lock_guard lock(m_mutex);
    m_stop = true;
    m_wake.notify_all();
}

void JobControl::pause()
{
    std::lock_guard lock(m_mutex);
    m_paused = true;
}

void JobControl::resume()
{
    std::lock_guard lock(m_mutex);
    m_paused = false;
    m_wake.notify_all();
}

bool JobControl::checkpoint()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_paused || m_stop; });
    return !m_stop;
}

void JobControl::reset()
{
    std::lock_guard lock(m_mutex);
    m_stop = false;
    m_paused = false;
}

void JobControl::setStepHook(StepHook hook)
{
    stepHook() = std::move(hook);
}

void JobControl::reached(JobStep step)
{
    if (stepHook())
        stepHook()(step, *this);
}

bool commitUnlessStopped(PartFile &part, JobControl &control)
{
    control.reached(JobStep::BeforeCommit);
    return !control.stopRequested() && part.commit();
}
