#include "skin/sk_combo_box.h"

#include "skin/sk_paint.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPolygon>

using namespace skTheme;

TskComboBox::TskComboBox(QWidget *parent) : QComboBox(parent)
{
    setUIStyle(UIStyle::WinXP);
}

void TskComboBox::applyTheme(UIStyle style)
{
    m_border = skThemeColour(style, Item::BoxBorderColour, m_border);
    m_button = skThemeColour(style, Item::ComboButtonColour, m_button);
    update();
}

void TskComboBox::setBorderColor(const QColor &c)
{
    m_border = c;
    update();
}

void TskComboBox::setButtonColor(const QColor &c)
{
    m_button = c;
    update();
}

QRect TskComboBox::buttonRect() const
{
    const int w = qMin(17, width() / 2);
    return QRect(width() - w - 1, 1, w, height() - 2);
}

void TskComboBox::drawArrow(QPainter &p, const QRect &button) const
{
    const QPoint c = button.center() + QPoint(1, 1);
    const QPolygon arrow({c + QPoint(-4, -2), c + QPoint(4, -2), c + QPoint(0, 2)});
    p.setPen(Qt::NoPen);
    p.setBrush(isEnabled() ? m_border : QColor(0xA0, 0xA0, 0xA0));
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPolygon(arrow);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void TskComboBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect field = rect().adjusted(1, 1, -1, -1);
    p.fillRect(field, palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                      QPalette::Base));
    skDrawBorder(p, rect(), m_border);
    const QRect button = buttonRect();
    p.fillRect(button, m_button);
    p.fillRect(QRect(button.left() - 1, button.top(), 1, button.height()), m_border);
    drawArrow(p, button);
    if (isEditable())
        return;
    QRect text(3, 2, button.left() - 6, height() - 4);
    if (hasFocus() && !view()->isVisible()) {
        p.fillRect(text, palette().color(QPalette::Highlight));
        p.setPen(palette().color(QPalette::HighlightedText));
    } else {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::Text));
    }
    const QString shown = fontMetrics().elidedText(currentText(), Qt::ElideRight, text.width() - 2);
    p.drawText(text.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, shown);
}
