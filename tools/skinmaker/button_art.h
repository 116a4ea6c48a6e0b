#pragma once

#include "schemes.h"
#include "skin/base/skin_file.h"

// Draws pictures 1 to 44 (the title-bar and bottom buttons in each state) on crops of the face
// (slot 0), so each picture blends into the background around it.
// `scale` is the face's: 2 draws the pictures at twice the size.
void drawButtons(const Scheme &s, SkinFile::Images &pictures, int scale = 1);
