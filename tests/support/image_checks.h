#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <utility>

// WCAG contrast ratio of two colours: 1 for equal ones, 21 for black on white.
double contrastRatio(const QColor &a, const QColor &b);

// The colour most pixels of `area` have (its background), and the strongest contrast any pixel
// of `area` has to it (the ink drawn on it; 1 when nothing is drawn).
std::pair<QColor, double> backgroundAndInk(const QImage &image, const QRect &area);

// How many pixels changed between two pictures of one size with at least `minContrast` between
// their old and new colour: a mark drawn on a control is visible when many did (-1 when the
// sizes differ).
int visibleChanges(const QImage &before, const QImage &after, double minContrast = 3.0);
