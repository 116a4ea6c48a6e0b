#pragma once

#include "jobs/job_control.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <atomic>

// Requests a Stop the n-th time a job reaches `step`, on the job's own thread and exactly
// there, for as long as it lives.
class StopAtStep {
public:
    StopAtStep(JobStep step, int occurrence);
    ~StopAtStep();
    StopAtStep(const StopAtStep &) = delete;
    StopAtStep &operator=(const StopAtStep &) = delete;

    // How often the step was reached so far.
    int seen() const { return m_seen.load(); }

private:
    std::atomic_int m_seen{0};
};

// Every step with a name for a test table's rows.
struct NamedStep {
    JobStep step;
    QString name;
};
QList<NamedStep> allJobSteps();

Q_DECLARE_METATYPE(JobStep)
