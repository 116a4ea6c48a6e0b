#include "face_art.h"

#include "art.h"

#include <QPainter>
#include <QPainterPath>

namespace face {
namespace {

void drawFrameAndTitle(QPainter &p, const Scheme &s)
{
    p.fillRect(QRect(0, 0, Width, Height), s.frameDark);
    QPainterPath outer;
    outer.addRoundedRect(QRectF(0, 0, Width, Height), 11, 11);
    QLinearGradient g(0, 0, 0, Height);
    g.setColorAt(0, s.frameLight);
    g.setColorAt(0.09, s.frameDark);
    g.setColorAt(0.5, s.frameDark.lighter(125));
    g.setColorAt(1, s.frameDark);
    p.fillPath(outer, g);
    // Gloss over the upper half of the title bar.
    p.fillRect(QRectF(8, 1, Width - 16, 14), art::vertical(QRectF(0, 1, 1, 14),
                                                          QColor(255, 255, 255, 90),
                                                          QColor(255, 255, 255, 10)));
    art::drawDisc(p, QRectF(12, 6, 22, 22), s.accent);
    p.setFont(art::font(19, true));
    art::drawEngraved(p, QRectF(40, 3, 160, 28), Qt::AlignLeft | Qt::AlignVCenter,
                      QStringLiteral("Harvelo"), Qt::white, QColor(0, 0, 0, 120));
    p.setFont(art::font(10));
    p.setPen(QColor(255, 255, 255, 170));
    p.drawText(QRectF(282, 14, 160, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("CD Ripper & Audio Converter"));
    // The plate behind the three title-bar buttons.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 0, 0, 90));
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRoundedRect(QRectF(450.5, 12.5, 59, 20), 5, 5);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void drawBody(QPainter &p, const Scheme &s)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(5.5, 34.5, Width - 11, Height - 40);
    p.setPen(s.frameDark.darker(130));
    p.setBrush(art::vertical(body, s.panel.lighter(104), s.panelShade));
    p.drawRoundedRect(body, 7, 7);
    // The menu band, a little lighter, with a groove under it.
    p.setPen(Qt::NoPen);
    p.setBrush(
        art::vertical(QRectF(7, 35, 1, 20), QColor(255, 255, 255, 150), QColor(255, 255, 255, 40)));
    p.drawRoundedRect(QRectF(7, 35.5, Width - 14, 20), 6, 6);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(10, 55, Width - 20, 1), s.panelShade.darker(120));
    p.fillRect(QRect(10, 56, Width - 20, 1), QColor(255, 255, 255, 160));
}

void drawMenuWords(QPainter &p, const Scheme &s)
{
    QFont f = art::font(11);
    f.setFamily(QStringLiteral("DejaVu Sans Condensed"));
    p.setFont(f);
    for (const MenuWord &w : kMenuWords)
        art::drawEngraved(p, QRectF(w.place), Qt::AlignCenter, QString::fromLatin1(w.text), s.ink,
                          QColor(255, 255, 255, 170));
    const QColor groove = s.panelShade.darker(115);
    for (int x : {53, 118, 172, 202}) {
        p.fillRect(QRect(x, 40, 1, 12), groove);
        p.fillRect(QRect(x + 1, 40, 1, 12), QColor(255, 255, 255, 170));
    }
    // A small globe before "Visit our web".
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(401, 38, 12, 12);
    p.setPen(QPen(s.ink.lighter(200), 1));
    p.setBrush(art::vertical(globe, s.accent.lighter(160), s.accent));
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(globe.adjusted(3.5, 0, -3.5, 0));
    p.drawLine(QPointF(globe.left(), globe.center().y()),
               QPointF(globe.right(), globe.center().y()));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void drawFields(QPainter &p, const Scheme &s)
{
    QFont f = art::font(11, true);
    f.setFamily(QStringLiteral("DejaVu Sans Condensed"));
    p.setFont(f);
    const struct {
        const char *text;
        QRect label, field;
    } fields[] = {{"Artist", {10, 58, 40, 18}, {54, 58, 116, 18}},
                  {"Album", {172, 58, 43, 18}, {219, 58, 116, 18}},
                  {"Genre", {335, 58, 43, 18}, {382, 56, 112, 21}}};
    for (const auto &fd : fields) {
        art::drawEngraved(p, QRectF(fd.label), Qt::AlignRight | Qt::AlignVCenter,
                          QString::fromLatin1(fd.text), s.ink, QColor(255, 255, 255, 150));
        // A sunken bed one pixel around the field.
        const QRect bed = fd.field.adjusted(-1, -1, 1, 1);
        p.fillRect(QRect(bed.left(), bed.top(), bed.width(), 1), s.panelShade.darker(130));
        p.fillRect(QRect(bed.left(), bed.top(), 1, bed.height()), s.panelShade.darker(130));
        p.fillRect(QRect(bed.left(), bed.bottom(), bed.width(), 1), QColor(255, 255, 255, 200));
        p.fillRect(QRect(bed.right(), bed.top(), 1, bed.height()), QColor(255, 255, 255, 200));
    }
}

void drawListFrame(QPainter &p, const Scheme &s)
{
    // The track list covers 18,80 to 505,312: a two-line sunken frame around it.
    const QRect inner(17, 79, 489, 234);
    const QRect outer = inner.adjusted(-1, -1, 1, 1);
    p.fillRect(outer, QColor(255, 255, 255, 220));
    p.fillRect(QRect(outer.left(), outer.top(), outer.width() - 1, 1), s.panelShade.darker(135));
    p.fillRect(QRect(outer.left(), outer.top(), 1, outer.height() - 1), s.panelShade.darker(135));
    p.fillRect(inner, s.frameDark);
    p.fillRect(inner.adjusted(1, 1, -1, -1), Qt::white);
}

void drawButtonBar(QPainter &p, const Scheme &s)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bar(11.5, 313.5, Width - 23, 57);
    p.setPen(QColor(255, 255, 255, 190));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(bar.translated(0, 1), 8, 8);
    p.setPen(s.panelShade.darker(150));
    p.setBrush(art::vertical(bar, s.panelShade.darker(112), s.panelShade.darker(104)));
    p.drawRoundedRect(bar, 8, 8);
    p.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

QImage draw(const Scheme &s, int scale)
{
    QImage img(Width * scale, Height * scale, QImage::Format_RGB32);
    QPainter p(&img);
    p.scale(scale, scale);
    drawFrameAndTitle(p, s);
    drawBody(p, s);
    drawMenuWords(p, s);
    drawFields(p, s);
    drawListFrame(p, s);
    drawButtonBar(p, s);
    return img;
}

} // namespace face
