#include "skin/sk_check_box.h"

#include <QPainter>

using namespace skTheme;

TskCheckBox::TskCheckBox(QWidget *parent) : TskCheckBox(QString(), parent) {}

TskCheckBox::TskCheckBox(const QString &caption, QWidget *parent) : QCheckBox(caption, parent)
{
    setUIStyle(UIStyle::WinXP);
}

void TskCheckBox::applyTheme(UIStyle style)
{
    m_look.takeTheme(style, Item::CheckBoxFirst);
    update();
}

void TskCheckBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    m_look.paint(p, this, m_hot);
}

void TskCheckBox::enterEvent(QEnterEvent *event)
{
    m_hot = true;
    update();
    QCheckBox::enterEvent(event);
}

void TskCheckBox::leaveEvent(QEvent *event)
{
    m_hot = false;
    update();
    QCheckBox::leaveEvent(event);
}

TskRadioButton::TskRadioButton(QWidget *parent) : TskRadioButton(QString(), parent) {}

TskRadioButton::TskRadioButton(const QString &caption, QWidget *parent)
    : QRadioButton(caption, parent)
{
    // Exclusivity goes by group index, not by Qt's parent-wide rule.
    setAutoExclusive(false);
    connect(this, &QAbstractButton::toggled, this, &TskRadioButton::clearGroup);
    setUIStyle(UIStyle::WinXP);
}

void TskRadioButton::applyTheme(UIStyle style)
{
    m_look.takeTheme(style, Item::RadioButtonFirst);
    update();
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

void TskRadioButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    m_look.paint(p, this, m_hot);
}

void TskRadioButton::enterEvent(QEnterEvent *event)
{
    m_hot = true;
    update();
    QRadioButton::enterEvent(event);
}

void TskRadioButton::leaveEvent(QEvent *event)
{
    m_hot = false;
    update();
    QRadioButton::leaveEvent(event);
}
