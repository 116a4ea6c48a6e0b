#include "app/help_window.h"

#include <QUrl>

HelpWindow::HelpWindow(QWidget *parent) : QTextBrowser(parent)
{
    setWindowTitle(QStringLiteral("Harvelo Help"));
    setOpenExternalLinks(true);
    setSearchPaths({QStringLiteral(":/help")});
    setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
    resize(720, 540);
}
