#include "art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace art {

QImage canvas(int w, int h, const QColor &fill)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

QColor key()
{
    return QColor(255, 0, 255);
}

QBrush vertical(const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return QBrush(g);
}

QFont font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void drawDisc(QPainter &p, const QRectF &r, const QColor &tint)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(r.center(), r.width() / 2);
    g.setColorAt(0, QColor(0xF8, 0xF8, 0xF8));
    g.setColorAt(0.55, tint.lighter(150));
    g.setColorAt(0.8, QColor(0xE4, 0xE8, 0xEE));
    g.setColorAt(1, tint);
    p.setPen(QPen(tint.darker(140), 1));
    p.setBrush(g);
    p.drawEllipse(r);
    const qreal hole = r.width() * 0.28;
    p.setBrush(QColor(0xD8, 0xDC, 0xE2));
    p.drawEllipse(QRectF(r.center() - QPointF(hole / 2, hole / 2), QSizeF(hole, hole)));
    const qreal pin = r.width() * 0.12;
    p.setBrush(tint.darker(150));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(r.center() - QPointF(pin / 2, pin / 2), QSizeF(pin, pin)));
    // A glint across the upper left of the disc.
    p.setPen(QPen(QColor(255, 255, 255, 170), qMax(1.0, r.width() / 14)));
    p.drawArc(r.adjusted(r.width() * 0.2, r.height() * 0.2, -r.width() * 0.2, -r.height() * 0.2),
              100 * 16, 60 * 16);
    p.restore();
}

void drawEngraved(QPainter &p, const QRectF &r, int flags, const QString &text,
                  const QColor &colour, const QColor &shadow)
{
    p.setPen(shadow);
    p.drawText(r.translated(0, 1), flags, text);
    p.setPen(colour);
    p.drawText(r, flags, text);
}

QImage menuCheck()
{
    QImage img = canvas(16, 16, Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({QPointF(4, 8), QPointF(7, 11), QPointF(12, 5)}));
    return img;
}

QImage macMenu(bool select)
{
    QImage img = canvas(8, 20, rgb(0xF4F4F4));
    QPainter p(&img);
    if (select) {
        p.fillRect(img.rect(), vertical(QRectF(img.rect()), rgb(0x6FA6F0), rgb(0x1F62C8)));
        return img;
    }
    // Pinstripes.
    for (int y = 0; y < 20; y += 2)
        p.fillRect(QRect(0, y, 8, 1), rgb(0xEAEAEA));
    return img;
}

} // namespace art
