#include "button_art.h"

#include "art.h"

#include <QPainter>
#include <QPainterPath>

namespace {

enum class Look { Normal, Hover, Pressed };

enum class Glyph { Play, Pause, Stop, FreeDb, Refresh, Format, Rip };

struct BottomButton {
    int left, width;
    Glyph glyph;
    const char *caption;
    int firstSlot;
    bool format; // normal, selected normal, hover, selected hover, pressed
};

constexpr int kTop = 316;
constexpr int kHeight = 50;
constexpr BottomButton kButtons[] = {
    {16, 50, Glyph::Play, "Play", 7, false},     {66, 49, Glyph::Pause, "Pause", 10, false},
    {115, 49, Glyph::Stop, "Stop", 13, false},   {164, 49, Glyph::FreeDb, "FreeDB", 16, false},
    {213, 49, Glyph::Refresh, "Refresh", 19, false}, {262, 49, Glyph::Format, "MP3", 22, true},
    {311, 49, Glyph::Format, "WAV", 27, true},   {360, 49, Glyph::Format, "WMA", 32, true},
    {409, 49, Glyph::Format, "OGG", 37, true},   {458, 49, Glyph::Rip, "Rip CD", 42, false},
};

QPainterPath triangle(const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.left() + r.width() * 0.2, r.top());
    path.lineTo(r.right(), r.center().y());
    path.lineTo(r.left() + r.width() * 0.2, r.bottom());
    path.closeSubpath();
    return path;
}

void drawRefresh(QPainter &p, const QRectF &r, const QColor &c)
{
    p.setPen(QPen(c, 2.6, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring = r.adjusted(2, 2, -2, -2);
    p.drawArc(ring, 40 * 16, 280 * 16);
    const QPointF tip(ring.center().x() + ring.width() / 2 * 0.77,
                      ring.center().y() - ring.height() / 2 * 0.64);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({tip + QPointF(-5, -3), tip + QPointF(3, -5), tip + QPointF(2, 3)}));
}

void drawGlobe(QPainter &p, const QRectF &r, const QColor &c, const QColor &fill)
{
    p.setPen(QPen(c, 1.6));
    p.setBrush(fill);
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r.adjusted(r.width() * 0.3, 0, -r.width() * 0.3, 0));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
}

void drawGlyph(QPainter &p, const BottomButton &b, const QRectF &r, const QColor &c,
               const Scheme &s, bool selected)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    switch (b.glyph) {
    case Glyph::Play: p.drawPath(triangle(r.adjusted(3, 1, -2, -1))); break;
    case Glyph::Pause:
        p.drawRoundedRect(QRectF(r.left() + 4, r.top() + 1, 6, r.height() - 2), 1, 1);
        p.drawRoundedRect(QRectF(r.right() - 10, r.top() + 1, 6, r.height() - 2), 1, 1);
        break;
    case Glyph::Stop: p.drawRoundedRect(r.adjusted(3, 2, -3, -2), 2, 2); break;
    case Glyph::FreeDb: drawGlobe(p, r.adjusted(1, 0, -1, 0), c, s.accent.lighter(170)); break;
    case Glyph::Refresh: drawRefresh(p, r, c); break;
    case Glyph::Rip:
        art::drawDisc(p, r.adjusted(0, 0, -5, -5), s.accent);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(QPolygonF({r.bottomRight() + QPointF(0, -9), r.bottomRight() + QPointF(-9, 0),
                                 r.bottomRight() + QPointF(0, 0)}));
        break;
    case Glyph::Format: {
        p.setFont(art::font(13, true));
        const QRectF text = r.adjusted(-4, 0, 4, 0);
        const QString name = QString::fromLatin1(b.caption);
        if (selected)
            art::drawEngraved(p, text, Qt::AlignCenter, name, Qt::white, QColor(0, 0, 0, 150));
        else
            art::drawEngraved(p, text, Qt::AlignCenter, name, c, QColor(255, 255, 255, 160));
        break;
    }
    }
}

QPainterPath capPath(const QRectF &r)
{
    QPainterPath path;
    path.addRoundedRect(r, 7, 7);
    return path;
}

void drawCap(QPainter &p, const QRectF &cap, const Scheme &s, Look look, bool selected)
{
    QColor top = selected ? s.accent.lighter(150) : s.capTop;
    QColor bottom = selected ? s.accent : s.capBottom;
    if (look == Look::Hover) {
        top = top.lighter(104);
        bottom = bottom.lighter(112);
    } else if (look == Look::Pressed) {
        std::swap(top, bottom);
        top = top.darker(112);
    }
    p.setPen(QPen(s.frameDark, 1));
    p.setBrush(art::vertical(cap, top, bottom));
    p.drawPath(capPath(cap));
    if (look == Look::Pressed) {
        p.setPen(QPen(QColor(0, 0, 0, 60), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(capPath(cap.adjusted(1.5, 1.5, -1, -1)));
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 150), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(capPath(cap.adjusted(1, 1, -1, -1)));
    }
    if (look == Look::Hover) {
        // A selected cap is already in the accent colour: its glow is white.
        p.setPen(QPen(selected ? QColor(Qt::white) : s.accent, 2));
        p.drawPath(capPath(cap.adjusted(0.5, 0.5, -0.5, -0.5)));
    }
}

// The lamp under a format button's name: lit while the format is selected.
void drawLamp(QPainter &p, const QRectF &r, const Scheme &s, bool lit)
{
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.setBrush(lit ? art::vertical(r, rgb(0xFFFFF0), s.accent.lighter(115))
                   : art::vertical(r, s.capBottom.darker(150), s.capBottom.darker(125)));
    p.drawRoundedRect(r, 2, 2);
}

QImage drawBottom(const QImage &face, const BottomButton &b, const Scheme &s, Look look,
                  bool selected, bool lit, int scale)
{
    QImage img = face.copy(b.left * scale, kTop * scale, b.width * scale, kHeight * scale);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF cap(2.5, 2.5, b.width - 5, kHeight - 5);
    drawCap(p, cap, s, look, selected);
    const QPointF shift = look == Look::Pressed ? QPointF(1, 1) : QPointF();
    const QColor ink = lit ? s.accent.darker(look == Look::Pressed ? 100 : 110) : s.glyph;
    const qreal mid = b.width / 2.0;
    if (b.format) {
        drawGlyph(p, b, QRectF(mid - 16, 9, 32, 20).translated(shift), ink, s, selected);
        drawLamp(p, QRectF(mid - 12, 34, 24, 6).translated(shift), s, selected);
        return img;
    }
    drawGlyph(p, b, QRectF(mid - 10, 8, 20, 20).translated(shift), lit ? s.accent : ink, s, false);
    QFont f = art::font(9, true);
    f.setFamily(QStringLiteral("DejaVu Sans Condensed"));
    p.setFont(f);
    p.setPen(s.glyph);
    p.drawText(QRectF(2, 31, b.width - 4, 12).translated(shift), Qt::AlignCenter,
               QString::fromLatin1(b.caption));
    return img;
}

void drawBottomButtons(const Scheme &s, SkinFile::Images &pictures, int scale)
{
    const QImage &face = pictures[0];
    for (const BottomButton &b : kButtons) {
        QImage *out = &pictures[b.firstSlot];
        auto draw = [&](Look look, bool selected, bool lit) {
            return drawBottom(face, b, s, look, selected, lit, scale);
        };
        if (b.format) {
            out[0] = draw(Look::Normal, false, false);
            out[1] = draw(Look::Normal, true, false);
            out[2] = draw(Look::Hover, false, false);
            out[3] = draw(Look::Hover, true, false);
            out[4] = draw(Look::Pressed, false, false);
            continue;
        }
        // The pressed pictures of play and pause also show the playing and paused states.
        const bool lights = b.glyph == Glyph::Play || b.glyph == Glyph::Pause;
        out[0] = draw(Look::Normal, false, false);
        out[1] = draw(Look::Hover, false, false);
        out[2] = draw(Look::Pressed, false, lights);
    }
}

QImage drawTitleButton(const QImage &face, int left, const Scheme &s, int kind, bool hover,
                       int scale)
{
    QImage img = face.copy(left * scale, 15 * scale, 15 * scale, 15 * scale);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, 14, 14);
    const QColor fill =
        hover ? (kind == 2 ? QColor(0xE0, 0x40, 0x30) : s.accent) : QColor(255, 255, 255, 40);
    p.setPen(QPen(hover ? QColor(255, 255, 255, 220) : QColor(255, 255, 255, 120), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    if (kind == 0) {
        p.drawLine(QPointF(4, 10.5), QPointF(11, 10.5));
    } else if (kind == 1) {
        p.setFont(art::font(11, true));
        p.drawText(QRectF(0, 0, 15, 15), Qt::AlignCenter, QStringLiteral("?"));
    } else {
        p.drawLine(QPointF(4.5, 4.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 4.5), QPointF(4.5, 10.5));
    }
    return img;
}

} // namespace

void drawButtons(const Scheme &s, SkinFile::Images &pictures, int scale)
{
    const int lefts[] = {454, 472, 491};
    for (int kind = 0; kind < 3; ++kind) {
        pictures[1 + 2 * kind] = drawTitleButton(pictures[0], lefts[kind], s, kind, false, scale);
        pictures[2 + 2 * kind] = drawTitleButton(pictures[0], lefts[kind], s, kind, true, scale);
    }
    drawBottomButtons(s, pictures, scale);
}
