#include "gui/main/help_window.h"

#include "gui/main/app_resources.h"

#include <QKeyEvent>
#include <QUrl>

HelpWindow::HelpWindow(QWidget *parent) : QTextBrowser(parent)
{
    initAppResources();
    setWindowTitle(QStringLiteral("Harvelo Help"));
    // An open help window must not keep the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setOpenExternalLinks(true);
    setSearchPaths({QStringLiteral(":/help")});
    showPage(QString());
    resize(720, 540);
}

void HelpWindow::showPage(const QString &page)
{
    setSource(QUrl(QStringLiteral("qrc:/help/") + (page.isEmpty() ? QStringLiteral("index.html") : page)));
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    const bool ctrlW = event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier;
    if (event->key() == Qt::Key_Escape || ctrlW || event->matches(QKeySequence::Close)) {
        close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}
