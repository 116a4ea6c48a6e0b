#pragma once

#include <QTextBrowser>

// The bundled HTML help pages (Qt resources under :/help). Esc and Ctrl+W close it, so that
// it closes without a window manager's title bar too.
class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Shows `page` of the help pages (a file name), or the index when it is empty.
    void showPage(const QString &page);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
