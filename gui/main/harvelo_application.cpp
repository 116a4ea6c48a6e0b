#include "gui/main/harvelo_application.h"

#include "gui/main/fm_main.h"
#include "gui/services/prompter.h"
#include "skin/sk_styled.h"

#include <QKeyEvent>

HarveloApplication::HarveloApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Harvelo"));
    // The window system shows this icon for every window (_NET_WM_ICON) and finds the desktop
    // entry by this name.
    setWindowIcon(skAppIcon());
    setDesktopFileName(QStringLiteral("io.github.harvelo.Harvelo"));
    // No display name: Qt would add it to every window title (" — Harvelo"), and the boxes'
    // captions must reach the window system exactly as given.
    installEventFilter(this);
}

bool HarveloApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        handleException();
        return false;
    }
}

void HarveloApplication::handleException()
{
    // A second exception while the question is open must not stack another question.
    if (m_handlingException || !fm_main)
        return;
    m_handlingException = true;
    fm_main->ApplicationEvents1Exception();
    m_handlingException = false;
}

bool HarveloApplication::eventFilter(QObject *watched, QEvent *event)
{
    // An Esc while a menu or the genre list is open closes that popup, possibly already while
    // its shortcuts are looked up: the key press that follows is the popup's, not the window's.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *shortcut = static_cast<QKeyEvent *>(event);
        if (shortcut->key() == Qt::Key_Escape && activePopupWidget())
            m_popupEscTime = shortcut->timestamp();
    }
    // A key reaches its window first, then the widget it is meant for: act on the widget's.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QApplication::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    // A key event is offered again to each parent while nobody accepts it: act on it once.
    auto *widget = static_cast<QWidget *>(watched);
    const bool offeredAgain = key == m_lastKey && key->timestamp() == m_lastKeyTime && m_lastKeyReceiver
                              && widget->isAncestorOf(m_lastKeyReceiver);
    m_lastKey = key;
    m_lastKeyTime = key->timestamp();
    m_lastKeyReceiver = widget;
    if (offeredAgain)
        return false;
    if (key->key() == Qt::Key_Escape) {
        const bool popupTookIt = activePopupWidget() || m_popupEscTime == key->timestamp();
        m_popupEscTime.reset();
        // Only an Esc that reaches a control of the active main window closes it.
        if (!popupTookIt && fm_main && widget->window() == fm_main
            && activeWindow() == fm_main && !activeModalWidget())
            fm_main->close();
    } else if (key->key() == Qt::Key_F1) {
        services::desktop().openHelp();
    }
    return false;
}
