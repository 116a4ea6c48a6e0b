#pragma once

#include "gui/services/prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

// Records every box and answers from a script; never shows a window.
class ScriptedPrompter : public Prompter {
public:
    struct Record {
        Kind kind;
        QString caption;
        QString text;
        Buttons buttons;
    };

    ScriptedPrompter();
    ~ScriptedPrompter() override;

    Answer ask(const Box &box, QWidget *parent) override;
    // Answers as ask() does, unless leaveOpen is set: then the question stays open until a
    // test answers it (answerOpen) or closeQuestions() closes it.
    void askOpen(const Box &box, QWidget *parent, std::function<void(Answer)> answered) override;
    void closeQuestions(QWidget *parent, Answer answer) override;
    QStringList openFiles(const FileDialog &dialog, QWidget *parent) override;

    // Answers for the next Yes/No boxes, in order; after them defaultAnswer is given.
    QQueue<Answer> answers;
    Answer defaultAnswer = Answer::No;
    // Optional hook run when a box is asked (after recording), e.g. to act in the middle of a job.
    std::function<void(const Record &)> onAsk;

    QList<Record> boxes;

    bool leaveOpen = false;
    struct OpenQuestion {
        Record record;
        QWidget *parent;
        std::function<void(Answer)> answered;
        Answer closedWith = Answer::Cancel; // how it was closed, once it is
    };
    QList<OpenQuestion> openQuestions; // still open
    QList<OpenQuestion> closedQuestions;
    // Answers the oldest open question as a user would.
    void answerOpen(Answer answer);
    QStringList texts() const;

    // File dialog: the next selections, in order; an empty list means Cancel.
    QQueue<QStringList> fileSelections;
    QList<FileDialog> fileDialogs;

    void clear();
};

class RecordingDesktop : public Desktop {
public:
    RecordingDesktop();
    ~RecordingDesktop() override;
    void openFolder(const QString &dir) override { openedFolders << dir; }
    void openHelp(const QString &page = QString()) override
    {
        ++helpOpened;
        helpPages << page;
    }
    void restartProgram() override { ++restarts; }

    QStringList openedFolders;
    int helpOpened = 0;
    QStringList helpPages; // the page of each opening, empty for the index
    int restarts = 0;
    void clear();
};
