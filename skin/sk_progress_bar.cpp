#include "skin/sk_progress_bar.h"

#include "skin/sk_paint.h"

#include <QPainter>

using namespace skTheme;

TskProgressBar::TskProgressBar(QWidget *parent) : QProgressBar(parent)
{
    setTextVisible(false);
    // What a screen reader calls the bar unless its window names it otherwise.
    setAccessibleName(QStringLiteral("Progress"));
    setUIStyle(UIStyle::WinXP);
}

void TskProgressBar::applyTheme(UIStyle style)
{
    m_fill = skThemeColour(style, Item::BoxFillColour, m_fill);
    m_border = skThemeColour(style, Item::BoxBorderColour, m_border);
    m_bar = skThemePixmap(style, Item::ProgressBar);
    m_barV = skThemePixmap(style, Item::ProgressBarV);
    update();
}

void TskProgressBar::setColor(const QColor &c)
{
    m_fill = c;
    update();
}

void TskProgressBar::setBorderColor(const QColor &c)
{
    m_border = c;
    update();
}

QPixmap TskProgressBar::barPicture() const
{
    return orientation() == Qt::Horizontal ? m_bar : m_barV;
}

void TskProgressBar::setBarPicture(Qt::Orientation orientation, const QPixmap &p)
{
    (orientation == Qt::Horizontal ? m_bar : m_barV) = p;
    update();
}

QRect TskProgressBar::barRect() const
{
    const QRect body = rect().adjusted(2, 2, -2, -2);
    const qint64 range = qint64(maximum()) - minimum();
    const double done = range <= 0 ? 0.0 : double(qint64(value()) - minimum()) / double(range);
    const double part = qBound(0.0, done, 1.0);
    if (orientation() == Qt::Horizontal)
        return QRect(body.left(), body.top(), qRound(body.width() * part), body.height());
    const int h = qRound(body.height() * part);
    return QRect(body.left(), body.bottom() + 1 - h, body.width(), h);
}

void TskProgressBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_fill);
    skDrawBorder(p, rect(), m_border);
    const QRect bar = barRect();
    const QPixmap pic = barPicture();
    if (!bar.isEmpty()) {
        p.save();
        p.setClipRect(bar);
        if (pic.isNull())
            p.fillRect(bar, palette().color(QPalette::Highlight));
        else if (orientation() == Qt::Horizontal)
            for (int x = bar.left(); x <= bar.right(); x += pic.width())
                p.drawPixmap(QRect(x, bar.top(), pic.width(), bar.height()), pic);
        else
            for (int y = bar.bottom() + 1 - pic.height(); y > bar.top() - pic.height();
                 y -= pic.height())
                p.drawPixmap(QRect(bar.left(), y, bar.width(), pic.height()), pic);
        p.restore();
    }
    if (isTextVisible()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(rect(), Qt::AlignCenter, text());
    }
}
