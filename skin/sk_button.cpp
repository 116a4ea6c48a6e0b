#include "skin/sk_button.h"

#include "skin/sk_paint.h"

#include <QPainter>

using namespace skTheme;

TskButton::TskButton(QWidget *parent) : TskButton(QString(), parent) {}

TskButton::TskButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    setAttribute(Qt::WA_Hover);
    setUIStyle(UIStyle::WinXP);
}

void TskButton::applyTheme(UIStyle style)
{
    for (int i = 0; i < 3; ++i)
        m_pics[i] = skThemePixmap(style, Item::ButtonNormal + i);
    m_color = skThemeColour(style, Item::FormColour, m_color);
    update();
}

void TskButton::setPicNormal(const QPixmap &p)
{
    m_pics[0] = p;
    update();
}

void TskButton::setPicMouseOn(const QPixmap &p)
{
    m_pics[1] = p;
    update();
}

void TskButton::setPicMouseDown(const QPixmap &p)
{
    m_pics[2] = p;
    update();
}

void TskButton::setTransparent(bool on)
{
    m_transparent = on;
    update();
}

void TskButton::setColor(const QColor &c)
{
    m_color = c;
    update();
}

TskButton::State TskButton::state() const
{
    if (!isEnabled())
        return State::Disabled;
    if (isDown())
        return State::Pressed;
    return m_hot ? State::Hot : State::Normal;
}

QPixmap TskButton::currentPicture() const
{
    const State s = state();
    const QPixmap &pic = s == State::Pressed ? m_pics[2] : s == State::Hot ? m_pics[1] : m_pics[0];
    return pic.isNull() ? m_pics[0] : pic;
}

QSize TskButton::sizeHint() const
{
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text().trimmed());
    return QSize(qMax(75, caption.width() + 16), qMax(25, caption.height() + 8));
}

void TskButton::paintEvent(QPaintEvent *)
{
    // Qt's backing store already paints off screen: the result reaches the screen in one step.
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), m_color);
    QPixmap pic = currentPicture();
    if (m_transparent)
        pic = skTopLeftTransparent(pic);
    if (pic.isNull())
        skDrawBorder(p, rect(), QColor(0x68, 0x68, 0x68));
    else
        skDrawFitted(p, rect(), pic);
    if (!text().trimmed().isEmpty()) {
        p.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(0x80, 0x80, 0x80));
        const QRect area = state() == State::Pressed ? rect().translated(1, 1) : rect();
        p.drawText(area, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
    if (hasFocus() && (focusPolicy() & Qt::TabFocus))
        skDrawFocusMark(p, rect().adjusted(3, 3, -3, -3));
}

void TskButton::enterEvent(QEnterEvent *event)
{
    m_hot = true;
    update();
    QPushButton::enterEvent(event);
}

void TskButton::leaveEvent(QEvent *event)
{
    m_hot = false;
    update();
    QPushButton::leaveEvent(event);
}
