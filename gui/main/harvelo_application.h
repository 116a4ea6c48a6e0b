#pragma once

#include <QApplication>
#include <QPointer>
#include <optional>

// The application object: the keyboard hook (Esc in the active main window closes it, F1 opens help
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
    QPointer<QWidget> m_lastKeyReceiver;
    std::optional<quint64> m_popupEscTime; // of the last Esc that a popup took
    bool m_handlingException = false;
};
