#pragma once

#include "skin/base/sk_theme.h"

#include <QIcon>
#include <QPixmap>

// What every skinned control shares: its UIStyle. Setting a built-in theme takes the control's
// colours, sizes and bitmaps from the theme table at once and repaints it; setting Custom only
// records the value, so the control keeps whatever its own properties say. New controls start
// in WinXP, the look of every window of the application.
class TskStyled {
public:
    virtual ~TskStyled() = default;

    UIStyle uiStyle() const { return m_uiStyle; }
    void setUIStyle(UIStyle style);

    // How a form frame passes its theme on to a direct child: buttons, check boxes, radio
    // buttons and progress bars keep a Custom style of their own; the other kinds take the
    // form's theme whatever their own setting.
    void takeFormTheme(UIStyle style);

protected:
    // Take the items of a built-in theme and repaint.
    virtual void applyTheme(UIStyle style) = 0;
    virtual bool keepsOwnCustomStyle() const { return false; }

private:
    UIStyle m_uiStyle = UIStyle::WinXP;
};

// The bitmap of a theme item, from the application's theme resources; null for Custom, for an
// item that is not a bitmap and for a name that has no resource.
QPixmap skThemePixmap(UIStyle style, int item);
// A bitmap resource by its name ("MACOS_MENU_SELECT").
QPixmap skThemePixmap(const QString &name);
// A theme colour, or `fallback` where the theme gives none.
QColor skThemeColour(UIStyle style, int item, const QColor &fallback);
// The program's own icon, drawn by the skin maker at 16 to 256 pixels.
QIcon skAppIcon();
