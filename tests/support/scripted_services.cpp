#include "tests/support/scripted_services.h"

ScriptedPrompter::ScriptedPrompter()
{
    services::setPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter()
{
    services::setPrompter(nullptr);
}

Prompter::Answer ScriptedPrompter::ask(const Box &box, QWidget *)
{
    const Record record{box.kind, box.caption, box.text, box.buttons};
    boxes.append(record);
    if (onAsk)
        onAsk(record);
    if (box.buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? defaultAnswer : answers.dequeue();
}

void ScriptedPrompter::askOpen(const Box &box, QWidget *parent, std::function<void(Answer)> answered)
{
    if (!leaveOpen) {
        answered(ask(box, parent));
        return;
    }
    const Record record{box.kind, box.caption, box.text, box.buttons};
    boxes.append(record);
    openQuestions.append({record, parent, std::move(answered)});
    if (onAsk)
        onAsk(record);
}

void ScriptedPrompter::closeQuestions(QWidget *parent, Answer answer)
{
    for (qsizetype i = 0; i < openQuestions.size();) {
        if (openQuestions[i].parent != parent) {
            ++i;
            continue;
        }
        OpenQuestion q = openQuestions.takeAt(i);
        q.closedWith = answer;
        closedQuestions.append(q);
        q.answered(answer);
    }
}

void ScriptedPrompter::answerOpen(Answer answer)
{
    if (openQuestions.isEmpty())
        return;
    OpenQuestion q = openQuestions.takeFirst();
    q.closedWith = answer;
    closedQuestions.append(q);
    q.answered(answer);
}

QStringList ScriptedPrompter::openFiles(const FileDialog &dialog, QWidget *)
{
    fileDialogs.append(dialog);
    return fileSelections.isEmpty() ? QStringList() : fileSelections.dequeue();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Record &r : boxes)
        out << r.text;
    return out;
}

void ScriptedPrompter::clear()
{
    answers.clear();
    boxes.clear();
    fileSelections.clear();
    fileDialogs.clear();
    defaultAnswer = Answer::No;
    onAsk = nullptr;
    leaveOpen = false;
    openQuestions.clear();
    closedQuestions.clear();
}

RecordingDesktop::RecordingDesktop()
{
    services::setDesktop(this);
}

RecordingDesktop::~RecordingDesktop()
{
    services::setDesktop(nullptr);
}

void RecordingDesktop::clear()
{
    openedFolders.clear();
    helpOpened = 0;
    helpPages.clear();
    restarts = 0;
}
