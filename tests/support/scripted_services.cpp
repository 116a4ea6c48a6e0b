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
    restarts = 0;
}
