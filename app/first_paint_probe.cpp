#include "app/first_paint_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

void FirstPaintProbe::installIfAsked(QWidget *window, const QElapsedTimer &sinceMain)
{
    if (qEnvironmentVariableIsSet("HARVELO_FIRST_PAINT_EXIT"))
        new FirstPaintProbe(window, sinceMain);
}

FirstPaintProbe::FirstPaintProbe(QWidget *window, const QElapsedTimer &sinceMain)
    : QObject(window), m_sinceMain(sinceMain)
{
    window->installEventFilter(this);
}

bool FirstPaintProbe::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::Paint || m_painted)
        return false;
    m_painted = true;
    // Queued: the paint event is handled, and its picture handed to the screen, first.
    QTimer::singleShot(0, this, [this] {
        std::printf("first paint: %lld ms\n", static_cast<long long>(m_sinceMain.elapsed()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return false;
}
