#include "skin/sk_edit.h"

#include "skin/sk_paint.h"

#include <QPainter>

TskEdit::TskEdit(QWidget *parent) : TskEdit(QString(), parent) {}

TskEdit::TskEdit(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
    setFrame(false);
    setTextMargins(3, 1, 2, 1);
    setUIStyle(UIStyle::WinXP);
}

void TskEdit::applyTheme(UIStyle style)
{
    m_border = skThemeColour(style, skTheme::Item::BoxBorderColour, m_border);
    update();
}

void TskEdit::setBorderColor(const QColor &c)
{
    m_border = c;
    update();
}

void TskEdit::paintEvent(QPaintEvent *event)
{
    {
        QPainter p(this);
        p.fillRect(rect(), palette().brush(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                           QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter p(this);
    skDrawBorder(p, rect(), m_border);
}
