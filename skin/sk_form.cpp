#include "skin/sk_form.h"

#include "skin/sk_accessible.h"
#include "skin/sk_paint.h"
#include "skin/sk_title_bar.h"

#include <QChildEvent>
#include <QPainter>
#include <QPainterPath>

using namespace skTheme;

TskForm::TskForm(QWidget *window)
    : QWidget(window), m_window(window), m_titleBar(new TskTitleBar(this))
{
    skInstallAccessibility();
    m_window->setWindowFlag(Qt::FramelessWindowHint, true);
    m_window->installEventFilter(this);
    setUIStyle(UIStyle::WinXP);
    relayout();
}

void TskForm::applyTheme(UIStyle style)
{
    m_borderColor = skThemeColour(style, Item::FormBorderColour, m_borderColor);
    m_borderWidth = integer(style, Item::FormBorderWidth).value_or(m_borderWidth);
    m_color = skThemeColour(style, Item::FormColour, m_color);
    m_titleBar->setUIStyle(style);
    for (QObject *child : children()) {
        if (auto *styled = dynamic_cast<TskStyled *>(child); styled && child != m_titleBar)
            styled->takeFormTheme(style);
    }
    relayout();
}

void TskForm::setColor(const QColor &c)
{
    m_color = c;
    update();
}

void TskForm::setBorderColor(const QColor &c)
{
    m_borderColor = c;
    update();
}

void TskForm::setBorderWidth(int width)
{
    m_borderWidth = width;
    relayout();
}

void TskForm::setCornerRound(int round)
{
    m_cornerRound = round;
    updateMask();
}

void TskForm::relayout()
{
    setGeometry(m_window->rect());
    const int b = m_borderWidth;
    m_titleBar->setGeometry(b, b, width() - 2 * b, m_titleBar->height());
    setContentsMargins(b, b + m_titleBar->height(), b, b);
    updateMask();
    update();
}

void TskForm::updateMask()
{
    // Masks are costly on some platforms: set one only when its shape changes.
    const bool square = m_cornerRound <= 0 || m_window->isMaximized();
    const QSize shape = square ? QSize() : m_window->size();
    if (shape == m_maskShape && m_maskRound == m_cornerRound)
        return;
    m_maskShape = shape;
    m_maskRound = m_cornerRound;
    if (shape.isEmpty()) {
        m_window->clearMask();
        return;
    }
    QPainterPath path;
    const qreal r = m_cornerRound / 2.0;
    path.addRoundedRect(QRectF(m_window->rect()), r, r);
    m_window->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void TskForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    skDrawBorder(p, rect(), m_borderColor, m_borderWidth);
}

bool TskForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        // A hidden window's resize arrives only when it is shown.
        case QEvent::Resize:
        case QEvent::Show: relayout(); break;
        case QEvent::WindowTitleChange: m_titleBar->update(); break;
        case QEvent::WindowStateChange:
            updateMask();
            m_titleBar->update();
            break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TskForm::event(QEvent *event)
{
    // A skinned control added after the theme was set takes it once it is polished.
    if (event->type() == QEvent::ChildPolished && isBuiltIn(uiStyle())) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (auto *styled = dynamic_cast<TskStyled *>(child); styled && child != m_titleBar)
            styled->takeFormTheme(uiStyle());
    }
    return QWidget::event(event);
}
