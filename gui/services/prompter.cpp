#include "gui/services/prompter.h"

#include <stdexcept>

namespace {
Prompter *g_prompter = nullptr;
Desktop *g_desktop = nullptr;
} // namespace

void Prompter::FileDialog::setFilter(const QString &wordsAndPatterns)
{
    filter = wordsAndPatterns.section(QLatin1Char('|'), 0, 0);
    patterns = wordsAndPatterns.section(QLatin1Char('|'), 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

void Prompter::askOpen(const Box &box, QWidget *parent, std::function<void(Answer)> answered)
{
    answered(ask(box, parent));
}

void Prompter::closeQuestions(QWidget *, Answer)
{
}

void Prompter::information(const QString &text, QWidget *parent)
{
    ask({Kind::Information, {}, text, Buttons::Ok}, parent);
}

void Prompter::error(const QString &text, QWidget *parent)
{
    ask({Kind::Error, {}, text, Buttons::Ok}, parent);
}

void Prompter::warning(const QString &text, QWidget *parent)
{
    ask({Kind::Warning, {}, text, Buttons::Ok}, parent);
}

bool Prompter::confirm(const QString &text, QWidget *parent)
{
    return ask({Kind::Confirmation, {}, text, Buttons::YesNo}, parent) == Answer::Yes;
}

bool Prompter::askInformation(const QString &text, QWidget *parent)
{
    return ask({Kind::Information, {}, text, Buttons::YesNo}, parent) == Answer::Yes;
}

bool Prompter::askError(const QString &text, QWidget *parent)
{
    return ask({Kind::Error, {}, text, Buttons::YesNo}, parent) == Answer::Yes;
}

Prompter::Answer Prompter::plain(const QString &caption, const QString &text, Buttons buttons,
                                 QWidget *parent)
{
    return ask({Kind::Plain, caption, text, buttons}, parent);
}

namespace services {

Prompter &prompter()
{
    if (!g_prompter)
        throw std::logic_error("no Prompter installed");
    return *g_prompter;
}

Desktop &desktop()
{
    if (!g_desktop)
        throw std::logic_error("no Desktop installed");
    return *g_desktop;
}

void setPrompter(Prompter *p)
{
    g_prompter = p;
}

void setDesktop(Desktop *d)
{
    g_desktop = d;
}

} // namespace services
