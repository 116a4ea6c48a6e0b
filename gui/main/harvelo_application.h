#pragma once

#include <QApplication>

// The application object: the keyboard hook (Esc closes the active main window, F1 opens help
// from any window) and the handler for exceptions that escape an event handler.
class HarveloApplication : public QApplication {
    Q_OBJECT
public:
    HarveloApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void handleException();
    const QEvent *m_lastKey = nullptr;
    quint64 m_lastKeyTime = 0;
    bool m_handlingException = false;
};
