#pragma once

class QWidget;

// Moves a top-level window to the centre of its screen's available area (nothing without a
// screen). Every window of the program opens centred.
void centreOnScreen(QWidget *window);
