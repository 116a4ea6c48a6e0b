#pragma once

#include "settings/setting_choices.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <span>

class QAbstractButton;
class TskForm;

// Radio buttons that store one number: the number of the selected button, or -1 when none is.
class RadioGroup : public QButtonGroup {
    Q_OBJECT
public:
    using QButtonGroup::QButtonGroup;
    void add(QAbstractButton *button, int value) { addButton(button, value); }
    // Selects the button of value, else the button of fallback; with neither, none.
    void select(int value, int fallback = -1);
    int selected() const { return checkedId(); }
};

// Pick-only lists filled from a value table; the value of each entry rides along as item data.
void fillChoices(QComboBox *list, std::span<const Choice> choices);
void fillCaptions(QComboBox *list, std::span<const char *const> captions);
// Selects the entry holding value, else the entry holding fallback.
void selectValue(QComboBox *list, int value, int fallback);
// Selects position, else the position fallback.
void selectPosition(QComboBox *list, int position, int fallback);
int currentValue(const QComboBox *list);
// Lists whose choice is stored as a word ("wav", "flac"): the caption shows, the word rides
// along. A stored word is matched without regard to case; an unknown one selects the first.
struct WordChoice {
    const char *text;
    const char *word;
};
void fillWords(QComboBox *list, std::span<const WordChoice> choices);
void selectWord(QComboBox *list, const QString &word);
QString currentWord(const QComboBox *list);

// A dialog drawn in the skinned look: a TskForm frame with its title bar (control box, minimize,
// help, close) around a client area of the given size, which holds the dialog's controls.
class SkinnedDialog : public QDialog {
    Q_OBJECT
public:
    TskForm *form;

protected:
    SkinnedDialog(QWidget *parent, const QString &name, const QString &title, QSize clientSize);
    QWidget *client;
};
