#include "skin/base/sk_theme.h"

#include <array>

namespace skTheme {
namespace {

using Values = std::array<int, 5>; // MacOS, WinXP, DeepBlue, Protein, BlueGlass

struct Entry {
    int item;
    Kind kind;
    Values values;
};

// Integers, flags and colours (0xRRGGBB); every item not listed here names a bitmap.
constexpr Entry kTable[] = {
    {1, Kind::Integer, {1, 2, 3, 4, 5}},
    {2, Kind::Colour, {0x7F7F7F, 0x002CC8, 0x000000, 0x000000, 0x000000}},
    {3, Kind::Colour, {0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {4, Kind::Integer, {1, 3, 1, 1, 1}},
    {5, Kind::Integer, {130, 150, 130, 130, 270}},
    {6, Kind::Integer, {0, 13, 0, 0, 11}},
    {7, Kind::Colour, {0x7F7F7F, 0x686868, 0x000000, 0x000000, 0x000000}},
    {8, Kind::Colour, {0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {9, Kind::Colour, {0x000000, 0x0246CF, 0x000000, 0x000000, 0x000000}},
    {10, Kind::Colour, {0x000000, 0x3169C6, 0x444AA0, 0x2D30C4, 0x5E5EEC}},
    {11, Kind::Colour, {0x000000, 0xC6D3EF, 0x444AA0, 0x2D30C4, 0x5E5EEC}},
    {12, Kind::Colour, {0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {13, Kind::Colour, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {14, Kind::Colour, {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}},
    {15, Kind::Colour, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {16, Kind::Colour, {0x000000, 0xD6D3CE, 0xD6D3CE, 0xD6D3CE, 0xD6D3CE}},
    {17, Kind::Colour, {0x000000, 0x848284, 0x848284, 0x848284, 0x848284}},
    {18, Kind::Colour, {0x000000, 0xADA69C, 0xADA69C, 0xADA69C, 0xADA69C}},
    {19, Kind::Integer, {20, 21, 21, 21, 21}},
    {20, Kind::Integer, {12, 5, 5, 5, 5}},
    {21, Kind::Integer, {26, 26, 26, 26, 26}},
    {65, Kind::Flag, {0, 0, 0, 1, 1}},
    {66, Kind::Integer, {3, 2, 0, 0, 4}},
    {67, Kind::Integer, {-2, -2, 0, 0, -3}},
    {68, Kind::Integer, {4, 5, 2, 2, 6}},
    {72, Kind::Integer, {34, 19, 22, 22, 22}},
    {73, Kind::Colour, {0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xD5D6E9}},
};

const Entry *find(int item)
{
    for (const Entry &e : kTable)
        if (e.item == item)
            return &e;
    return nullptr;
}

// The value of a non-bitmap item, or nullopt for a theme outside the built-in five.
std::optional<int> rawValue(UIStyle style, int item, Kind wanted, int wrongKind)
{
    if (!isBuiltIn(style))
        return std::nullopt;
    const Entry *e = find(item);
    if (!e || e->kind != wanted)
        return wrongKind;
    return e->values[static_cast<int>(style) - 1];
}

const char *const kStates[] = {"NORMAL", "MOUSEON", "MOUSEDOWN"};
const char *const kTitleButtons[] = {"CLOSE", "MAX", "MIN", "HELP", "CTLBOX"};

// Check box and radio button: two disabled bitmaps, then ticked/clear for each pointer state.
// Only WinXP draws the three pointer states apart.
QString toggleElement(UIStyle style, int index)
{
    if (index == 0)
        return QStringLiteral("DISABLE_CHECK");
    if (index == 1)
        return QStringLiteral("DISABLE_UNCHECK");
    const QString tick = (index - 2) % 2 == 0 ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK");
    if (style != UIStyle::WinXP)
        return tick;
    return QLatin1String(kStates[(index - 2) / 2]) + QLatin1Char('_') + tick;
}

QString titleButtonElement(UIStyle style, int item)
{
    const int state = (item - Item::TitleBtnClose) % 3;
    const int button = (item - Item::TitleBtnClose) / 3;
    const QString name = button < 5 ? QLatin1String(kTitleButtons[button])
                         : style == UIStyle::WinXP ? QStringLiteral("RST")
                                                   : QStringLiteral("MAX");
    return QStringLiteral("TITLEBTN_") + name + QLatin1Char('_') + QLatin1String(kStates[state]);
}

// The element part of a bitmap name (after the theme prefix); empty for non-bitmap items.
QString element(UIStyle style, int item)
{
    if (item >= Item::ButtonNormal && item <= Item::ButtonMouseDown)
        return QStringLiteral("BUTTON_") + QLatin1String(kStates[item - Item::ButtonNormal]);
    if (item >= Item::CheckBoxFirst && item < Item::RadioButtonFirst)
        return QStringLiteral("CHECKBOX_") + toggleElement(style, item - Item::CheckBoxFirst);
    if (item >= Item::RadioButtonFirst && item < Item::ProgressBar)
        return QStringLiteral("RADIOBUTTON_") + toggleElement(style, item - Item::RadioButtonFirst);
    if (item >= Item::TitleBtnClose && item < Item::TitleBtnTransparent)
        return titleButtonElement(style, item);
    switch (item) {
    case Item::ProgressBar: return QStringLiteral("PROGRESSBAR");
    case Item::ProgressBarV: return QStringLiteral("PROGRESSBAR_V");
    case Item::TitleLeft: return QStringLiteral("TITLE_LEFT");
    case Item::TitleClient: return QStringLiteral("TITLE_CLIENT");
    case Item::TitleRight: return QStringLiteral("TITLE_RIGHT");
    case Item::TabActive: return QStringLiteral("TAB_ACTIVE");
    case Item::TabInactive: return QStringLiteral("TAB_INACTIVE");
    case Item::TabLine: return QStringLiteral("TAB_LINE");
    default: return {};
    }
}

} // namespace

bool isBuiltIn(UIStyle style)
{
    const int n = static_cast<int>(style);
    return n >= 1 && n <= 5;
}

QString themePrefix(UIStyle style)
{
    static const char *const names[] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};
    return isBuiltIn(style) ? QLatin1String(names[static_cast<int>(style) - 1]) : QString();
}

Kind kind(int item)
{
    const Entry *e = find(item);
    return e ? e->kind : Kind::Bitmap;
}

std::optional<int> integer(UIStyle style, int item)
{
    return rawValue(style, item, Kind::Integer, -1);
}

std::optional<QColor> colour(UIStyle style, int item)
{
    const std::optional<int> rgb = rawValue(style, item, Kind::Colour, 0);
    if (!rgb)
        return std::nullopt;
    return QColor::fromRgb(static_cast<QRgb>(*rgb));
}

std::optional<bool> flag(UIStyle style, int item)
{
    const std::optional<int> v = rawValue(style, item, Kind::Flag, 0);
    if (!v)
        return std::nullopt;
    return *v != 0;
}

std::optional<QString> bitmapName(UIStyle style, int item)
{
    if (!isBuiltIn(style))
        return std::nullopt;
    if (item == Item::MenuChecked)
        return QStringLiteral("MENU_CHECKED");
    const QString e = element(style, item);
    if (e.isEmpty())
        return QString();
    return themePrefix(style) + QLatin1Char('_') + e;
}

QStringList allBitmapNames()
{
    QStringList names;
    for (int s = 1; s <= 5; ++s) {
        for (int item = 1; item <= Item::Count; ++item) {
            const QString name = bitmapName(static_cast<UIStyle>(s), item).value_or(QString());
            if (!name.isEmpty() && !names.contains(name))
                names << name;
        }
    }
    names << QStringLiteral("MACOS_MENU_BAR") << QStringLiteral("MACOS_MENU_SELECT");
    return names;
}

} // namespace skTheme
