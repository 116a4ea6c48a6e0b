#include "menu_icon_art.h"

#include "art.h"
#include "schemes.h"

#include "skin/sk_menu_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

constexpr int kSize = 16;

// The glyph and accent of the first shipped skin: the menu's side bar is a neutral grey, and
// this pair reads well on it.
QColor glyph()
{
    return shippedSchemes().first().glyph;
}

QColor accent()
{
    return shippedSchemes().first().accent;
}

void refresh(QPainter &p)
{
    const QRectF ring(2.5, 2.5, 11, 11);
    p.setPen(QPen(glyph(), 2, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, 60 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(accent());
    p.drawPolygon(QPolygonF({QPointF(8, 0.5), QPointF(13, 3.5), QPointF(8, 6.5)}));
}

void freeDb(QPainter &p)
{
    const QRectF r(1.5, 1.5, 13, 13);
    p.setPen(QPen(glyph(), 1.2));
    p.setBrush(accent().lighter(160));
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r.adjusted(3.5, 0, -3.5, 0));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
}

void ripCd(QPainter &p)
{
    art::drawDisc(p, QRectF(0.5, 0.5, 12, 12), accent());
    p.setPen(Qt::NoPen);
    p.setBrush(glyph());
    p.drawPolygon(QPolygonF({QPointF(9, 10), QPointF(15.5, 10), QPointF(12.25, 15.5)}));
}

// A sound wave: bars of the accent colour.
void wave(QPainter &p, qreal left)
{
    const qreal heights[] = {4, 8, 11, 7, 3};
    p.setPen(Qt::NoPen);
    p.setBrush(accent());
    for (int i = 0; i < 5; ++i)
        p.drawRect(QRectF(left + i * 1.6, 8 - heights[i] / 2, 1.2, heights[i]));
}

// A file page with a folded corner.
void page(QPainter &p, qreal left)
{
    QPainterPath path;
    path.moveTo(left, 2.5);
    path.lineTo(left + 4, 2.5);
    path.lineTo(left + 6.5, 5);
    path.lineTo(left + 6.5, 13.5);
    path.lineTo(left, 13.5);
    path.closeSubpath();
    p.setPen(QPen(glyph(), 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(left + 2, 7.5), QPointF(left + 4.5, 7.5));
    p.drawLine(QPointF(left + 2, 10), QPointF(left + 4.5, 10));
}

void arrow(QPainter &p, qreal left)
{
    p.setPen(Qt::NoPen);
    p.setBrush(glyph());
    p.drawPolygon(QPolygonF({QPointF(left, 5.5), QPointF(left + 3, 8), QPointF(left, 10.5)}));
}

void encode(QPainter &p)
{
    wave(p, 0.5);
    arrow(p, 8.5);
    page(p, 9);
}

void decode(QPainter &p)
{
    page(p, 0.5);
    arrow(p, 7.5);
    wave(p, 8.5);
}

// Bars of unequal height brought up to one level line.
void normalize(QPainter &p)
{
    const qreal heights[] = {9, 6, 11, 8, 11, 7};
    p.setPen(Qt::NoPen);
    p.setBrush(accent());
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(1.5 + i * 2.2, 15 - heights[i], 1.6, heights[i]));
    p.setPen(QPen(glyph(), 1.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(0.5, 3.5), QPointF(15.5, 3.5));
}

// An open door with an arrow leaving it.
void exitIcon(QPainter &p)
{
    p.setPen(QPen(glyph(), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(8.5, 4.5), QPointF(8.5, 1.5), QPointF(1.5, 1.5),
                              QPointF(1.5, 14.5), QPointF(8.5, 14.5), QPointF(8.5, 11.5)}));
    p.setPen(QPen(QColor(0xC0, 0x30, 0x28), 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(5, 8), QPointF(12, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC0, 0x30, 0x28));
    p.drawPolygon(QPolygonF({QPointF(11, 4.5), QPointF(15.5, 8), QPointF(11, 11.5)}));
}

} // namespace

QImage drawMenuIcon(const QString &name)
{
    const std::pair<QString, std::function<void(QPainter &)>> icons[] = {
        {skMenuIcon::Refresh, refresh}, {skMenuIcon::FreeDb, freeDb},
        {skMenuIcon::RipCd, ripCd},     {skMenuIcon::Encode, encode},
        {skMenuIcon::Decode, decode},   {skMenuIcon::Normalize, normalize},
        {skMenuIcon::Exit, exitIcon},
    };
    for (const auto &[iconName, draw] : icons) {
        if (iconName != name)
            continue;
        QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        return image;
    }
    return {};
}
