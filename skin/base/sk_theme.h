#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

// The themes of the skinned controls, in the order of their numeric values. Custom leaves a
// control exactly as its own properties describe it; the others take every colour, size and
// bitmap from the theme table below.
enum class UIStyle { Custom = 0, MacOS = 1, WinXP = 2, DeepBlue = 3, Protein = 4, BlueGlass = 5 };

// The theme table: 73 numbered items, each of one kind for all themes. A lookup for a theme
// outside MacOS..BlueGlass gives nothing (std::nullopt: the control keeps its own value); asking
// an item for the wrong kind gives -1 for an integer, black (0) for a colour, false for a flag
// and an empty name for a bitmap.
namespace skTheme {

enum class Kind { Integer, Colour, Flag, Bitmap };

namespace Item {
inline constexpr int ThemeNumber = 1;
inline constexpr int FormBorderColour = 2;
inline constexpr int FormColour = 3;
inline constexpr int FormBorderWidth = 4;
inline constexpr int FormMinWidth = 5;
inline constexpr int FormCornerRound = 6;
inline constexpr int BoxBorderColour = 7;
inline constexpr int BoxFillColour = 8;
inline constexpr int GroupCaptionColour = 9;
inline constexpr int MenuSelectedBorder = 10;
inline constexpr int MenuSelectedFill = 11;
inline constexpr int MenuSelectedText = 12;
inline constexpr int MenuBackground = 14;
inline constexpr int MenuText = 15;
inline constexpr int MenuSideBarColour = 16;
inline constexpr int MenuSeparatorColour = 17;
inline constexpr int MenuShadowColour = 18;
inline constexpr int MenuItemHeight = 19;
inline constexpr int MenuSeparatorHeight = 20;
inline constexpr int MenuSideBarWidth = 21;
inline constexpr int MenuChecked = 22;
inline constexpr int ButtonNormal = 23;
inline constexpr int ButtonMouseOn = 24;
inline constexpr int ButtonMouseDown = 25;
inline constexpr int CheckBoxFirst = 26;   // 26..33
inline constexpr int RadioButtonFirst = 34; // 34..41
inline constexpr int ProgressBar = 42;
inline constexpr int ProgressBarV = 43;
inline constexpr int TitleLeft = 44;
inline constexpr int TitleClient = 45;
inline constexpr int TitleRight = 46;
inline constexpr int TitleBtnClose = 47;    // +0 normal, +1 mouse-on, +2 mouse-down
inline constexpr int TitleBtnMax = 50;
inline constexpr int TitleBtnMin = 53;
inline constexpr int TitleBtnHelp = 56;
inline constexpr int TitleBtnCtlBox = 59;
inline constexpr int TitleBtnRestore = 62;
inline constexpr int TitleBtnTransparent = 65;
inline constexpr int TitleLeftOffset = 66;
inline constexpr int TitleRightOffset = 67;
inline constexpr int TitleBtnTop = 68;
inline constexpr int TabActive = 69;
inline constexpr int TabInactive = 70;
inline constexpr int TabLine = 71;
inline constexpr int TabStripHeight = 72;
inline constexpr int ComboButtonColour = 73;
inline constexpr int Count = 73;
} // namespace Item

// The kind of an item; items outside 1..73 count as bitmaps with no name.
Kind kind(int item);

std::optional<int> integer(UIStyle style, int item);
std::optional<QColor> colour(UIStyle style, int item);
std::optional<bool> flag(UIStyle style, int item);
std::optional<QString> bitmapName(UIStyle style, int item);

// "WINXP", "DEEPBLUE"...; empty for Custom and values out of range.
QString themePrefix(UIStyle style);
// The five built-in themes.
bool isBuiltIn(UIStyle style);

// Every bitmap name that any built-in theme looks up, plus MacOS's menu-bar bitmaps, without
// repetitions: the set of bitmap resources the application carries.
QStringList allBitmapNames();

} // namespace skTheme
