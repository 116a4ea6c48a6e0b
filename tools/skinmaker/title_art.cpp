#include "title_art.h"

#include "art.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void drawGlyph(QPainter &p, const QString &kind, const QRectF &r, const QColor &colour)
{
    const qreal u = r.width() / 7.0; // glyphs are laid out on a 7 x 7 grid
    const QPointF o = r.topLeft();
    auto at = [&](qreal x, qreal y) { return o + QPointF(x * u, y * u); };
    p.setPen(QPen(colour, qMax(1.5, u * 0.9), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    if (kind == QLatin1String("CLOSE")) {
        p.drawLine(at(1.5, 1.5), at(5.5, 5.5));
        p.drawLine(at(5.5, 1.5), at(1.5, 5.5));
    } else if (kind == QLatin1String("MIN")) {
        p.drawLine(at(1.5, 5.5), at(4.5, 5.5));
    } else if (kind == QLatin1String("MAX")) {
        p.drawRect(QRectF(at(1.5, 1.5), at(5.5, 5.5)));
        p.drawLine(at(1.5, 2), at(5.5, 2));
    } else if (kind == QLatin1String("RST")) {
        p.drawRect(QRectF(at(1.2, 2.8), at(4.4, 5.8)));
        p.drawPolyline(
            QPolygonF({at(2.6, 2.8), at(2.6, 1.2), at(5.8, 1.2), at(5.8, 4.4), at(4.4, 4.4)}));
    } else if (kind == QLatin1String("HELP")) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(qRound(r.height() * 0.95));
        p.setFont(f);
        p.setPen(colour);
        p.drawText(r.adjusted(-2, -2, 2, 2), Qt::AlignCenter, QStringLiteral("?"));
    } else {
        art::drawDisc(p, r.adjusted(u * 0.5, u * 0.5, -u * 0.5, -u * 0.5), colour);
    }
}

} // namespace

QImage drawTitlePart(const QString &part, int height, const TitleColours &c)
{
    const int width = part == QLatin1String("CLIENT") ? 37 : 35;
    QImage img = art::canvas(width, height, c.mid);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, c.top);
    g.setColorAt(0.35, c.mid);
    g.setColorAt(1, c.bottom);
    p.fillRect(img.rect(), g);
    p.fillRect(QRect(0, 0, width, 1), c.top.lighter(115));
    p.fillRect(QRect(0, height - 1, width, 1), c.edge);
    // Faint highlight at the outer ends, where the window's rounded corners meet the bar.
    if (part == QLatin1String("LEFT"))
        p.fillRect(QRect(0, 1, 1, height - 2), c.top);
    else if (part == QLatin1String("RIGHT"))
        p.fillRect(QRect(width - 1, 1, 1, height - 2), c.bottom);
    return img;
}

QImage drawTitleButton(const QString &kind, const TitleButtonLook &look, int state)
{
    const int s = look.size;
    QImage img = art::canvas(s, s, look.keyed ? art::key() : look.face2);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, !look.keyed);
    QColor face1 = look.face1, face2 = look.face2;
    if (state == 1) {
        face1 = face1.lighter(118);
        face2 = face2.lighter(118);
    } else if (state == 2) {
        std::swap(face1, face2);
        face1 = face1.darker(112);
    }
    const QRectF r(0.5, 0.5, s - 1, s - 1);
    p.setPen(QPen(look.border, 1));
    p.setBrush(art::vertical(r, face1, face2));
    if (look.round)
        p.drawEllipse(r);
    else
        p.drawRoundedRect(r, 3, 3);
    const qreal inset = s * (look.round ? 0.27 : 0.22);
    const QPointF shift = state == 2 ? QPointF(0.5, 0.5) : QPointF();
    p.setRenderHint(QPainter::Antialiasing);
    drawGlyph(p, kind, r.adjusted(inset, inset, -inset, -inset).translated(shift), look.glyph);
    return img;
}
