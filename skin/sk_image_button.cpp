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

// A picture drawn for a scaled screen covers its size in logical pixels.
QSize TskImageButton::sizeHint() const
{
    return PicNormal.isNull() ? QSize(15, 15) : PicNormal.deviceIndependentSize().toSize();
}

void TskImageButton::adjustToPicture()
{
    if (!PicNormal.isNull())
        resize(sizeHint());
    update();
}

void TskImageButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // A picture drawn large is scaled down smoothly on a screen between its sizes.
    const QPixmap &picture = currentPicture();
    p.setRenderHint(QPainter::SmoothPixmapTransform, picture.devicePixelRatio() > 1.0);
    p.drawPixmap(0, 0, picture);
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
