#pragma once

#include <QString>

class QPainter;

// Harvelo's own icon: a disc on a pewter plate with an ear of grain across it, in the colours
// of the Pewter skin. One drawing serves every size and the scalable file.
namespace appIcon {

// The icon's name in the icon theme, the desktop entry and the AppStream data.
inline const QString Name = QStringLiteral("io.github.harvelo.Harvelo");
inline constexpr int Sizes[] = {16, 32, 48, 64, 128, 256};

// Draws the icon over (0, 0, side, side).
void draw(QPainter &p, int side);

// Writes DIR/hicolor/NxN/apps/Name.png for every size and DIR/hicolor/scalable/apps/Name.svg.
bool writeTheme(const QString &dir);

} // namespace appIcon
