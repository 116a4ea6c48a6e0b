#include "skin/sk_group_box.h"

#include "skin/sk_paint.h"

#include <QPainter>

using namespace skTheme;

TskGroupBox::TskGroupBox(QWidget *parent) : TskGroupBox(QString(), parent) {}

TskGroupBox::TskGroupBox(const QString &caption, QWidget *parent) : QGroupBox(caption, parent)
{
    setUIStyle(UIStyle::WinXP);
}

void TskGroupBox::applyTheme(UIStyle style)
{
    m_fill = skThemeColour(style, Item::BoxFillColour, m_fill);
    m_border = skThemeColour(style, Item::BoxBorderColour, m_border);
    m_caption = skThemeColour(style, Item::GroupCaptionColour, m_caption);
    update();
}

void TskGroupBox::setColor(const QColor &c)
{
    m_fill = c;
    update();
}

void TskGroupBox::setBorderColor(const QColor &c)
{
    m_border = c;
    update();
}

void TskGroupBox::setCaptionColor(const QColor &c)
{
    m_caption = c;
    update();
}

void TskGroupBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    const int lineTop = title().isEmpty() ? 0 : fm.height() / 2;
    const QRect frame = rect().adjusted(0, lineTop, 0, 0);
    p.fillRect(frame, m_fill);
    skDrawBorder(p, frame, m_border);
    if (title().isEmpty())
        return;
    const QRect caption(8, 0, fm.horizontalAdvance(title()) + 6, fm.height());
    p.fillRect(caption, m_fill);
    p.setPen(isEnabled() ? m_caption : QColor(0x80, 0x80, 0x80));
    p.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic, title());
}
