#include "gui/jobs/job_window_controls.h"

#include "jobs/job_control.h"

#include <QAbstractButton>
#include <QCoreApplication>

PauseStopControls::PauseStopControls(QAbstractButton *pauseButton, JobControl &control)
    : m_button(pauseButton), m_control(control)
{
}

QString PauseStopControls::pauseText()
{
    return QStringLiteral("&Pause");
}

QString PauseStopControls::resumeText()
{
    return QStringLiteral("&Resume");
}

void PauseStopControls::toggle()
{
    if (m_button->text() == pauseText()) {
        m_button->setText(resumeText());
        m_control.pause();
    } else {
        reset();
        m_control.resume();
    }
}

void PauseStopControls::stop()
{
    m_control.requestStop();
    m_control.resume();
    reset();
}

void PauseStopControls::reset()
{
    m_button->setText(pauseText());
}

void serveEventsUntil(const std::function<bool()> &ended)
{
    while (!ended())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
