#include "app_icon_art.h"

#include "art.h"
#include "schemes.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

namespace appIcon {
namespace {

// Everything is drawn on a 256-unit square and scaled.
constexpr qreal kUnit = 256;

Scheme pewter()
{
    return shippedSchemes().first();
}

void drawPlate(QPainter &p, const Scheme &s)
{
    const QRectF plate(12, 12, 232, 232);
    p.setPen(QPen(s.frameDark.darker(130), 4));
    p.setBrush(art::vertical(plate, s.frameLight, s.frameDark));
    p.drawRoundedRect(plate, 44, 44);
    // Gloss over the upper half, as on the window's title bar.
    p.setPen(Qt::NoPen);
    p.setBrush(art::vertical(QRectF(20, 18, 1, 100), QColor(255, 255, 255, 90),
                             QColor(255, 255, 255, 0)));
    p.drawRoundedRect(QRectF(20, 18, 216, 100), 36, 36);
}

void drawDisc(QPainter &p, const Scheme &s)
{
    const QRectF disc(36, 36, 168, 168);
    QRadialGradient g(disc.center(), disc.width() / 2);
    g.setColorAt(0, QColor(0xF8, 0xF8, 0xF8));
    g.setColorAt(0.5, s.accent.lighter(160));
    g.setColorAt(0.78, s.capTop);
    g.setColorAt(1, s.accent);
    p.setPen(QPen(s.frameDark, 4));
    p.setBrush(g);
    p.drawEllipse(disc);
    p.setPen(QPen(s.frameDark.lighter(130), 3));
    p.setBrush(s.panel);
    p.drawEllipse(QRectF(disc.center() - QPointF(26, 26), QSizeF(52, 52)));
    p.setPen(Qt::NoPen);
    p.setBrush(s.frameDark);
    p.drawEllipse(QRectF(disc.center() - QPointF(11, 11), QSizeF(22, 22)));
    // A glint across the upper left.
    p.setPen(QPen(QColor(255, 255, 255, 200), 10, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(disc.adjusted(24, 24, -24, -24), 105 * 16, 55 * 16);
}

// One grain of the ear: a pointed oval along `angle` degrees.
void drawGrain(QPainter &p, const QPointF &at, qreal angle, const Scheme &s)
{
    p.save();
    p.translate(at);
    p.rotate(angle);
    QPainterPath grain;
    grain.moveTo(0, 0);
    grain.cubicTo(8, -10, 26, -10, 34, 0);
    grain.cubicTo(26, 10, 8, 10, 0, 0);
    p.setPen(QPen(s.frameDark, 3));
    p.setBrush(art::vertical(QRectF(0, -10, 1, 20), s.capTop, s.capBottom));
    p.drawPath(grain);
    p.restore();
}

// An ear of grain rising from the lower left over the disc: the harvest of the name.
void drawEar(QPainter &p, const Scheme &s)
{
    p.setPen(QPen(s.frameDark, 12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(70, 226), QPointF(168, 96));
    p.setPen(QPen(s.capBottom, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(70, 226), QPointF(168, 96));
    const QLineF stalk(QPointF(110, 173), QPointF(196, 60));
    for (int i = 0; i < 5; ++i) {
        const QPointF at = stalk.pointAt(i / 5.0);
        drawGrain(p, at, stalk.angle() * -1 - 50, s);
        drawGrain(p, at, stalk.angle() * -1 + 50, s);
    }
    drawGrain(p, stalk.p2(), -stalk.angle(), s);
}

} // namespace

void draw(QPainter &p, int side)
{
    const Scheme s = pewter();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / kUnit, side / kUnit);
    drawPlate(p, s);
    drawDisc(p, s);
    drawEar(p, s);
    p.restore();
}

bool writeTheme(const QString &dir)
{
    const QDir root(QDir(dir).filePath(QStringLiteral("hicolor")));
    for (int side : Sizes) {
        const QString sub = QStringLiteral("%1x%1/apps").arg(side);
        root.mkpath(sub);
        QImage image = art::canvas(side, side, Qt::transparent);
        QPainter p(&image);
        draw(p, side);
        p.end();
        if (!image.save(root.filePath(sub + QLatin1Char('/') + Name + QStringLiteral(".png"))))
            return false;
    }
    root.mkpath(QStringLiteral("scalable/apps"));
    QSvgGenerator svg;
    svg.setFileName(root.filePath(QStringLiteral("scalable/apps/") + Name + QStringLiteral(".svg")));
    svg.setSize(QSize(int(kUnit), int(kUnit)));
    svg.setViewBox(QRect(0, 0, int(kUnit), int(kUnit)));
    svg.setTitle(QStringLiteral("Harvelo"));
    QPainter p;
    if (!p.begin(&svg))
        return false;
    draw(p, int(kUnit));
    return p.end();
}

} // namespace appIcon
