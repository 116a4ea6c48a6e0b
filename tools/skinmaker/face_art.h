#pragma once

#include "schemes.h"

#include <QImage>
#include <QRect>

// The background (slot 0) of a skin: the face of the 525 x 380 main window, drawn for the
// fixed places of its controls.
namespace face {

inline constexpr int Width = 525;
inline constexpr int Height = 380;

// The words painted under the four menu speed buttons and their places.
struct MenuWord {
    const char *text;
    QRect place;
};
inline constexpr MenuWord kMenuWords[] = {{"Action", {17, 37, 36, 17}},
                                          {"Setting", {54, 37, 42, 17}},
                                          {"Help", {141, 37, 31, 17}},
                                          {"Quit", {173, 37, 28, 17}}};

// At `scale` times the size (2 for screens at 200 %), drawn afresh rather than enlarged.
QImage draw(const Scheme &s, int scale = 1);

} // namespace face
