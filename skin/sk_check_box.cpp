#include "skin/sk_check_box.h"

using namespace skTheme;

TskCheckBox::TskCheckBox(QWidget *parent) : TskCheckBox(QString(), parent) {}

TskCheckBox::TskCheckBox(const QString &caption, QWidget *parent)
    : TskToggle(caption, parent, Item::CheckBoxFirst)
{
    setUIStyle(UIStyle::WinXP);
}

TskRadioButton::TskRadioButton(QWidget *parent) : TskRadioButton(QString(), parent) {}

TskRadioButton::TskRadioButton(const QString &caption, QWidget *parent)
    : TskToggle(caption, parent, Item::RadioButtonFirst)
{
    // Exclusivity goes by group index, not by Qt's parent-wide rule.
    setAutoExclusive(false);
    connect(this, &QAbstractButton::toggled, this, &TskRadioButton::clearGroup);
    setUIStyle(UIStyle::WinXP);
}

void TskRadioButton::nextCheckState()
{
    if (!isChecked())
        setChecked(true);
}

void TskRadioButton::clearGroup(bool checked)
{
    if (!checked || !parentWidget())
        return;
    const auto siblings =
        parentWidget()->findChildren<TskRadioButton *>(Qt::FindDirectChildrenOnly);
    for (TskRadioButton *other : siblings)
        if (other != this && other->m_groupIndex == m_groupIndex)
            other->setChecked(false);
}
