#pragma once

#include "gui/services/prompter.h"

#include <QPointer>

class HelpWindow;

// Production message boxes and file dialogs.
class QtPrompter : public Prompter {
public:
    Answer ask(const Box &box, QWidget *parent) override;
    void askOpen(const Box &box, QWidget *parent, std::function<void(Answer)> answered) override;
    void closeQuestions(QWidget *parent, Answer answer) override;
    QStringList openFiles(const FileDialog &dialog, QWidget *parent) override;
};

// Production desktop actions: never through a shell.
class QtDesktop : public Desktop {
public:
    ~QtDesktop() override;
    void openFolder(const QString &dir) override;
    void openHelp(const QString &page = QString()) override;
    void restartProgram() override;

private:
    QPointer<HelpWindow> m_help;
};
