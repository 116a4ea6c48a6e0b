#include "gui/main/help_window.h"

#include "gui/main/app_resources.h"

#include <QUrl>

HelpWindow::HelpWindow(QWidget *parent) : QTextBrowser(parent)
{
    initAppResources();
    setWindowTitle(QStringLiteral("Harvelo Help"));
    // An open help window must not keep the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setOpenExternalLinks(true);
    setSearchPaths({QStringLiteral(":/help")});
    setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
    resize(720, 540);
}
