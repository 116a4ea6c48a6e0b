#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>

class QPainter;

// A colour from 0xRRGGBB.
inline QColor rgb(unsigned value)
{
    return QColor::fromRgb(value | 0xFF000000u);
}

// Small drawing helpers shared by the skin and theme bitmaps.
namespace art {

// An image of the given size filled with one colour.
QImage canvas(int w, int h, const QColor &fill);
// The colour the controls treat as see-through when it is a bitmap's top-left pixel.
QColor key();
// A top-to-bottom gradient over `r`.
QBrush vertical(const QRectF &r, const QColor &top, const QColor &bottom);
// The face font (DejaVu Sans) at a pixel size.
QFont font(int pixelSize, bool bold = false);
// A compact disc: silver rim, coloured ring, hole.
void drawDisc(QPainter &p, const QRectF &r, const QColor &tint);
// Text with a one-pixel shadow (or light edge) below it.
void drawEngraved(QPainter &p, const QRectF &r, int flags, const QString &text,
                  const QColor &colour, const QColor &shadow);

// The menu check mark, 16 x 16 on a transparent ground.
QImage menuCheck();
// MacOS menu item ground (bar) and highlight (select).
QImage macMenu(bool select);

} // namespace art
