#include "tests/support/stop_at_step.h"

StopAtStep::StopAtStep(JobStep step, int occurrence)
{
    JobControl::setStepHook([this, step, occurrence](JobStep reached, JobControl &control) {
        if (reached == step && ++m_seen == occurrence)
            control.requestStop();
    });
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
