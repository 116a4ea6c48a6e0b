#pragma once

#include <QColor>
#include <QImage>
#include <QString>

struct TitleColours {
    QColor top, mid, bottom, edge;
};

struct TitleButtonLook {
    int size;
    bool keyed; // drawn on the key colour, so the control shows it transparent
    bool round;
    QColor face1, face2, border, glyph;
};

// "LEFT" and "RIGHT" sections are 35 pixels wide, "CLIENT" 37, all `height` high.
QImage drawTitlePart(const QString &part, int height, const TitleColours &c);
// kind: CLOSE, MAX, MIN, HELP, CTLBOX or RST; state 0 normal, 1 mouse-on, 2 mouse-down.
QImage drawTitleButton(const QString &kind, const TitleButtonLook &look, int state);
