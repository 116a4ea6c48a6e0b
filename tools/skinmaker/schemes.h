#pragma once

#include <QColor>
#include <QList>
#include <QString>

// The colours of one skin.
struct Scheme {
    QString name;
    QColor frameLight, frameDark; // window frame and title bar, top to bottom
    QColor panel, panelShade;     // menu band and body
    QColor ink;                   // menu words and field labels
    QColor accent;                // selected format, glows, the playing state
    QColor capTop, capBottom;     // button caps
    QColor glyph;                 // button pictures
};

// The five shipped skins in menu order (skin1 to skin5), then the built-in one.
QList<Scheme> shippedSchemes();
Scheme builtinScheme();
