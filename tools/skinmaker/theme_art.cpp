#include "theme_art.h"

#include "art.h"
#include "title_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The colours and sizes one theme's bitmaps are drawn with.
struct ThemeLook {
    int titleHeight, titleButton, tabHeight;
    bool keyedButtons; // title buttons on the key colour (drawn transparent)
    bool roundTitleButtons;
    QColor titleTop, titleMid, titleBottom, titleEdge;
    QColor face1, face2, border, hover, down1, down2;
    QColor boxBorder, tick, form, accent;
    QColor glyph, btn1, btn2, btnBorder, close1, close2;
};

const ThemeLook kMacOS{22, 14, 33, false, true,
                       rgb(0xF4F4F4), rgb(0xE2E2E2), rgb(0xC8C8C8), rgb(0x7F7F7F),
                       rgb(0xFDFDFD), rgb(0xD6D6D6), rgb(0x7F7F7F), rgb(0x7DAAE8),
                       rgb(0x9DBFEA), rgb(0x4F86D2),
                       rgb(0x7F7F7F), rgb(0x1D4F9A), rgb(0xE7E7E7), rgb(0x4A8FE0),
                       rgb(0x5A3A20), rgb(0xF9C447), rgb(0xE49B16), rgb(0x9A7020),
                       rgb(0xF2716A), rgb(0xD03A30)};
const ThemeLook kWinXP{29, 21, 18, false, false,
                       rgb(0x3D95FF), rgb(0x0058E6), rgb(0x0043CF), rgb(0x002CC8),
                       rgb(0xFFFFFF), rgb(0xE3E3DB), rgb(0x003C74), rgb(0xF8B330),
                       rgb(0xD8D6CC), rgb(0xF2F1EC),
                       rgb(0x1C5180), rgb(0x21A121), rgb(0xEFEBDE), rgb(0x2FBF31),
                       rgb(0xFFFFFF), rgb(0x5A9BFF), rgb(0x1E5FE0), rgb(0xFFFFFF),
                       rgb(0xEE8A6A), rgb(0xC8401E)};
const ThemeLook kDeepBlue{21, 17, 21, false, false,
                          rgb(0x3A4BA8), rgb(0x222E7A), rgb(0x121A4E), rgb(0x000000),
                          rgb(0xEEEEF8), rgb(0xB9BDDD), rgb(0x1B1F5A), rgb(0x6A74D8),
                          rgb(0x9097CC), rgb(0xCDD0EA),
                          rgb(0x000000), rgb(0x1B2A8A), rgb(0xE8E8E8), rgb(0x444AA0),
                          rgb(0xFFFFFF), rgb(0x4D5CB8), rgb(0x25307A), rgb(0x0B0F33),
                          rgb(0x4D5CB8), rgb(0x25307A)};
const ThemeLook kProtein{21, 17, 21, true, true,
                         rgb(0xFFFFFF), rgb(0xF1F1F7), rgb(0xDADAE6), rgb(0x000000),
                         rgb(0xFFFFFF), rgb(0xE9E9F3), rgb(0x8A8AB0), rgb(0x2D30C4),
                         rgb(0xCDCEF0), rgb(0xECECFA),
                         rgb(0x000000), rgb(0x2D30C4), rgb(0xFBFBFB), rgb(0x2D30C4),
                         rgb(0x2D30C4), rgb(0xFFFFFF), rgb(0xDCDCEE), rgb(0x2D30C4),
                         rgb(0xFFFFFF), rgb(0xF0D6DC)};
const ThemeLook kBlueGlass{30, 18, 21, true, true,
                           rgb(0xB9C6FA), rgb(0x6A6AEE), rgb(0x3A3AB4), rgb(0x000000),
                           rgb(0xF7F8FF), rgb(0xC4C7F1), rgb(0x5E5EEC), rgb(0x9C9CFF),
                           rgb(0xA7A9EA), rgb(0xE1E2FA),
                           rgb(0x000000), rgb(0x3D3DB8), rgb(0xE7E7E7), rgb(0x5E5EEC),
                           rgb(0xFFFFFF), rgb(0xA8B4FF), rgb(0x4646C8), rgb(0xE8EAFF),
                           rgb(0xFF9A9A), rgb(0xC83A3A)};

const ThemeLook *lookFor(const QString &prefix)
{
    if (prefix == QLatin1String("MACOS")) return &kMacOS;
    if (prefix == QLatin1String("WINXP")) return &kWinXP;
    if (prefix == QLatin1String("DEEPBLUE")) return &kDeepBlue;
    if (prefix == QLatin1String("PROTEIN")) return &kProtein;
    if (prefix == QLatin1String("BLUEGLASS")) return &kBlueGlass;
    return nullptr;
}

enum class Pointer { Normal, MouseOn, MouseDown };

Pointer pointerOf(const QString &state)
{
    if (state.contains(QLatin1String("MOUSEON")))
        return Pointer::MouseOn;
    if (state.contains(QLatin1String("MOUSEDOWN")))
        return Pointer::MouseDown;
    return Pointer::Normal;
}

QImage button(const ThemeLook &t, Pointer ptr)
{
    QImage img = art::canvas(18, 21, t.form);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, 17, 20);
    const bool down = ptr == Pointer::MouseDown;
    p.setBrush(art::vertical(r, down ? t.down1 : t.face1, down ? t.down2 : t.face2));
    p.setPen(t.border);
    p.drawRoundedRect(r, 3, 3);
    if (ptr == Pointer::MouseOn) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(t.hover, 2));
        p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    }
    return img;
}

QImage toggle(const ThemeLook &t, bool radio, const QString &state)
{
    const bool disabled = state.startsWith(QLatin1String("DISABLE"));
    const bool ticked = !state.endsWith(QLatin1String("UNCHECK"));
    const Pointer ptr = pointerOf(state);
    QImage img = art::canvas(13, 13, t.form);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, radio);
    const QRectF box = radio ? QRectF(0.5, 0.5, 12, 12) : QRectF(0, 0, 12, 12);
    QColor top = disabled ? rgb(0xF4F3EE) : ptr == Pointer::MouseDown ? t.down1 : rgb(0xDCDCD7);
    QColor bottom = disabled                    ? rgb(0xF4F3EE)
                    : ptr == Pointer::MouseDown ? t.down2
                                                : QColor(Qt::white);
    p.setBrush(art::vertical(box, bottom, top));
    p.setPen(disabled ? rgb(0xCAC8BB) : t.boxBorder);
    radio ? p.drawEllipse(box) : p.drawRect(box);
    if (ptr == Pointer::MouseOn) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(t.hover, 2));
        const QRectF in = box.adjusted(1.5, 1.5, -1.5, -1.5);
        radio ? p.drawEllipse(in) : p.drawRect(in);
    }
    if (!ticked)
        return img;
    const QColor mark = disabled ? rgb(0xCAC8BB) : t.tick;
    if (radio) {
        p.setPen(Qt::NoPen);
        p.setBrush(art::vertical(QRectF(4, 4, 5, 5), mark.lighter(140), mark));
        p.drawEllipse(QRectF(3.5, 3.5, 6, 6));
    } else {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(mark, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPolyline(QPolygonF({QPointF(3, 6), QPointF(5.2, 8.5), QPointF(9.5, 3.5)}));
    }
    return img;
}

QImage progress(const ThemeLook &t, bool vertical)
{
    QImage img = art::canvas(6, 10, t.form);
    QPainter p(&img);
    // WinXP draws blocks with a gap; the others a continuous glossy bar.
    const bool blocks = &t == &kWinXP;
    const QRectF r(0, 0, blocks ? 5 : 6, 10);
    QLinearGradient g(0, 0, 0, 10);
    g.setColorAt(0, t.accent.lighter(160));
    g.setColorAt(0.45, t.accent);
    g.setColorAt(1, t.accent.darker(115));
    p.fillRect(r, g);
    p.end();
    if (!vertical)
        return img;
    return img.transformed(QTransform().rotate(-90));
}

QImage tab(const ThemeLook &t, bool active)
{
    const int h = t.tabHeight;
    QImage img = art::canvas(9, h, art::key());
    QPainter p(&img);
    // Hard edges: a blended corner pixel would keep a tint of the key colour.
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, 8, h + 3), 2, 2);
    p.setClipRect(0, 0, 9, h);
    p.setPen(t.boxBorder);
    p.setBrush(active ? art::vertical(QRectF(0, 0, 9, h), Qt::white, Qt::white)
                      : art::vertical(QRectF(0, 0, 9, h), Qt::white, t.face2));
    p.drawPath(path);
    if (active) {
        p.setPen(Qt::NoPen);
        p.setBrush(&t == &kWinXP ? rgb(0xFFC83C) : t.accent);
        p.drawRoundedRect(QRectF(0.5, 0.5, 8, 3), 1.5, 1.5);
    }
    return img;
}

} // namespace

QImage drawThemeBitmap(const QString &name)
{
    if (name == QLatin1String("MENU_CHECKED"))
        return art::menuCheck();
    if (name == QLatin1String("MACOS_MENU_BAR") || name == QLatin1String("MACOS_MENU_SELECT"))
        return art::macMenu(name.endsWith(QLatin1String("SELECT")));
    const int cut = name.indexOf(QLatin1Char('_'));
    const ThemeLook *t = lookFor(name.left(cut));
    if (!t)
        return {};
    const QString element = name.mid(cut + 1);
    if (element.startsWith(QLatin1String("BUTTON_")))
        return button(*t, pointerOf(element));
    if (element.startsWith(QLatin1String("CHECKBOX_")))
        return toggle(*t, false, element.mid(9));
    if (element.startsWith(QLatin1String("RADIOBUTTON_")))
        return toggle(*t, true, element.mid(12));
    if (element.startsWith(QLatin1String("PROGRESSBAR")))
        return progress(*t, element.endsWith(QLatin1String("_V")));
    if (element.startsWith(QLatin1String("TAB_LINE")))
        return art::canvas(8, 1, t->boxBorder);
    if (element.startsWith(QLatin1String("TAB_")))
        return tab(*t, element == QLatin1String("TAB_ACTIVE"));
    if (element.startsWith(QLatin1String("TITLE_")))
        return drawTitlePart(element.mid(6), t->titleHeight,
                             {t->titleTop, t->titleMid, t->titleBottom, t->titleEdge});
    if (element.startsWith(QLatin1String("TITLEBTN_"))) {
        const QString kind = element.mid(9).section(QLatin1Char('_'), 0, 0);
        const bool close = kind == QLatin1String("CLOSE");
        const TitleButtonLook look{t->titleButton, t->keyedButtons, t->roundTitleButtons,
                                   close ? t->close1 : t->btn1, close ? t->close2 : t->btn2,
                                   t->btnBorder, t->glyph};
        return drawTitleButton(kind, look, static_cast<int>(pointerOf(element)));
    }
    return {};
}
