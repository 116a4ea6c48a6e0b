#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>

class QPainter;

// Drawing rules shared by the skinned controls.

// The pixmap with every pixel of its top-left pixel's colour made transparent.
QPixmap skTopLeftTransparent(const QPixmap &pixmap);

// Fits a button bitmap to `target`: its left and right halves and its top and bottom halves are
// drawn unscaled and the one middle column and row are stretched between them.
void skDrawFitted(QPainter &p, const QRect &target, const QPixmap &pixmap);

// Fits a tab bitmap to `target`: cut into three equal vertical slices, the outer ones drawn
// unscaled at the ends and the middle one stretched between them.
void skDrawThreeSlices(QPainter &p, const QRect &target, const QPixmap &pixmap);

// A frame of `width` pixels just inside `rect`.
void skDrawBorder(QPainter &p, const QRect &rect, const QColor &colour, int width = 1);

// The dotted focus mark of buttons, check boxes and tabs, visible on any background.
void skDrawFocusMark(QPainter &p, const QRect &rect);
