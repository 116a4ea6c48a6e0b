#include "skin/sk_image_panel.h"

#include "skin/sk_accessible.h"
#include <QPainter>

TskImagePanel::TskImagePanel(QWidget *parent) : QWidget(parent)
{
    skInstallAccessibility();
    setUIStyle(UIStyle::WinXP);
}

void TskImagePanel::applyTheme(UIStyle style)
{
    m_color = skThemeColour(style, skTheme::Item::FormColour, m_color);
    update();
}

void TskImagePanel::setPicture(const QPixmap &p)
{
    m_picture = p;
    update();
}

void TskImagePanel::setStretch(bool on)
{
    m_stretch = on;
    update();
}

void TskImagePanel::setColor(const QColor &c)
{
    m_color = c;
    update();
}

void TskImagePanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    if (m_picture.isNull())
        return;
    if (m_stretch)
        p.drawPixmap(rect(), m_picture);
    else
        p.drawPixmap(0, 0, m_picture);
}
