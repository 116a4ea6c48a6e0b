#pragma once

#include <QImage>
#include <QString>

// Draws the theme bitmap with the given resource name ("WINXP_BUTTON_NORMAL", "MENU_CHECKED").
// WinXP bitmaps have the binding sizes; the other themes follow their own title and tab heights.
// A null image for a name no theme uses.
QImage drawThemeBitmap(const QString &name);
