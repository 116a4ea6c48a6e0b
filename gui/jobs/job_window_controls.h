#pragma once

#include <QString>
#include <functional>

class JobControl;
class QAbstractButton;

// The Pause/Resume button and the Stop of a job window, over its job's JobControl. Both job
// windows (rip, conversion) use it, so the order of the steps is written once. UI thread only.
class PauseStopControls {
public:
    PauseStopControls(QAbstractButton *pauseButton, JobControl &control);

    static QString pauseText();
    static QString resumeText();

    // "&Pause" holds the job at its next boundary; "&Resume" releases it.
    void toggle();
    // Requests the stop before releasing a paused job: a released worker must not find the
    // request unset and write one more block. A held worker would never see it otherwise.
    void stop();
    // The button reads "&Pause" again; for a new job.
    void reset();

private:
    QAbstractButton *m_button;
    JobControl &m_control;
};

// Serves the UI thread's events until `ended` holds: a worker that is finishing may be waiting
// for an answer of this thread, and its last act is a posted event of its own.
void serveEventsUntil(const std::function<bool()> &ended);
