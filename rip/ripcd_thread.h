#pragma once

#include "rip/rip_job.h"

#include <QThread>

// The rip of MP3, WAV and OGG on its own thread. The rip window owns it, starts it when shown
// and joins it after finished(); the job reaches the window only through its RipJobHost.
class TRipcdThread : public QThread {
    Q_OBJECT
public:
    explicit TRipcdThread(RipJob job) : m_job(std::move(job)) {}

protected:
    void run() override { m_job.run(); }

private:
    RipJob m_job;
};
