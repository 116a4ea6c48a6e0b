#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWidget;

// With HARVELO_FIRST_PAINT_EXIT set, prints "first paint: <ms> ms" once the main window has
// been painted for the first time, counted from the start of main(), and ends the program.
// The benchmark's start-up figure for the window.
class FirstPaintProbe : public QObject {
    Q_OBJECT
public:
    static void installIfAsked(QWidget *window, const QElapsedTimer &sinceMain);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FirstPaintProbe(QWidget *window, const QElapsedTimer &sinceMain);
    QElapsedTimer m_sinceMain;
    bool m_painted = false;
};
