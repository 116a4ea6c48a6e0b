#include "skin/sk_image_button.h"

#include "skin/sk_paint.h"

#include <QPainter>

TskImageButton::TskImageButton(QWidget *parent) : QAbstractButton(parent)
{
    setUIStyle(UIStyle::Custom);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void TskImageButton::setPictures(const QPixmap &normal, const QPixmap &mouseOn,
                                 const QPixmap &mouseDown)
{
    PicNormal = normal;
    PicMouseOn = mouseOn;
    PicMouseDown = mouseDown;
    adjustToPicture();
}

void TskImageButton::setPicNormal(const QPixmap &p)
{
    PicNormal = p;
    adjustToPicture();
}

void TskImageButton::setPicMouseOn(const QPixmap &p)
{
    PicMouseOn = p;
    update();
}

void TskImageButton::setPicMouseDown(const QPixmap &p)
{
    PicMouseDown = p;
    update();
}

void TskImageButton::setPicDisabled(const QPixmap &p)
{
    PicDisabled = p;
    update();
}

const QPixmap &TskImageButton::currentPicture() const
{
    if (!isEnabled())
        return PicDisabled.isNull() ? PicNormal : PicDisabled;
    if (isDown() && !PicMouseDown.isNull())
        return PicMouseDown;
    if (m_hover && !PicMouseOn.isNull())
        return PicMouseOn;
    return PicNormal;
}

QSize TskImageButton::sizeHint() const
{
    return PicNormal.isNull() ? QSize(15, 15) : PicNormal.size();
}

void TskImageButton::adjustToPicture()
{
    if (!PicNormal.isNull())
        resize(PicNormal.size());
    update();
}

void TskImageButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, currentPicture());
    // The keyboard's place: only Tab reaches an image button, never a click.
    if (hasFocus())
        skDrawFocusMark(p, rect().adjusted(2, 2, -2, -2));
}

void TskImageButton::enterEvent(QEnterEvent *)
{
    m_hover = true;
    update();
}

void TskImageButton::leaveEvent(QEvent *)
{
    m_hover = false;
    update();
}
