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
