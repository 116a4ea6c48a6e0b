#pragma once

#include <QStringList>

// The icons of the main window's action menu. The skin maker draws them with the theme
// bitmaps, under these names, into the same resource; skThemePixmap(name) loads one.
namespace skMenuIcon {
inline const QString Refresh = QStringLiteral("MENU_ICON_REFRESH");
inline const QString FreeDb = QStringLiteral("MENU_ICON_FREEDB");
inline const QString RipCd = QStringLiteral("MENU_ICON_RIPCD");
inline const QString Encode = QStringLiteral("MENU_ICON_ENCODE");
inline const QString Decode = QStringLiteral("MENU_ICON_DECODE");
inline const QString Normalize = QStringLiteral("MENU_ICON_NORMALIZE");
inline const QString Exit = QStringLiteral("MENU_ICON_EXIT");

inline QStringList all()
{
    return {Refresh, FreeDb, RipCd, Encode, Decode, Normalize, Exit};
}
} // namespace skMenuIcon
