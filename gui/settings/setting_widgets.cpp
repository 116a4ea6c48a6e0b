#include "gui/settings/setting_widgets.h"

#include "skin/sk_controls.h"

#include <QAbstractButton>
#include <algorithm>
#include <QDialog>
#include <QVBoxLayout>

void RadioGroup::select(int value, int fallback)
{
    QAbstractButton *chosen = button(value) ? button(value) : button(fallback);
    if (chosen) {
        chosen->setChecked(true);
        return;
    }
    // An exclusive group never lets its last ticked button go.
    setExclusive(false);
    for (QAbstractButton *b : buttons())
        b->setChecked(false);
    setExclusive(true);
}

void fillChoices(QComboBox *list, std::span<const Choice> choices)
{
    list->clear();
    for (const Choice &c : choices)
        list->addItem(QString::fromLatin1(c.text), c.value);
}

void fillCaptions(QComboBox *list, std::span<const char *const> captions)
{
    list->clear();
    for (const char *caption : captions)
        list->addItem(QString::fromLatin1(caption));
}

void selectValue(QComboBox *list, int value, int fallback)
{
    const int position = list->findData(value);
    list->setCurrentIndex(position >= 0 ? position : list->findData(fallback));
}

void fillWords(QComboBox *list, std::span<const WordChoice> choices)
{
    list->clear();
    for (const WordChoice &c : choices)
        list->addItem(QString::fromLatin1(c.text), QString::fromLatin1(c.word));
}

void selectWord(QComboBox *list, const QString &word)
{
    const int position = list->findData(word.trimmed().toLower());
    list->setCurrentIndex(std::max(position, 0));
}

QString currentWord(const QComboBox *list)
{
    return list->currentData().toString();
}

void selectPosition(QComboBox *list, int position, int fallback)
{
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : fallback);
}

int currentValue(const QComboBox *list)
{
    return list->currentData().toInt();
}

SkinnedDialog::SkinnedDialog(QWidget *parent, const QString &name, const QString &title,
                             QSize clientSize)
    : QDialog(parent), form(new TskForm(this)), client(new QWidget(form))
{
    setObjectName(name);
    setWindowTitle(title);
    // The face of the main window.
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    form->titleBar()->setButtons(
        {TskTitleBar::skControlBox, TskTitleBar::skMin, TskTitleBar::skHelp, TskTitleBar::skClose});
    setFixedSize(clientSize.grownBy(form->contentsMargins()));
    client->setFixedSize(clientSize);
    auto *layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(client);
}
