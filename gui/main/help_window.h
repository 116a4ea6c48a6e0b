#pragma once

#include <QTextBrowser>

// The bundled HTML help pages (Qt resources under :/help).
class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
};
