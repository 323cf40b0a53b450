#pragma once

#include "paint/core/write_guard.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <vector>

namespace velmar::paint {

// The distance between two colours: the sum of their red, green and blue differences (0..765).
int colourDistance(QRgb a, QRgb b);

// Fills the 4-connected area of exactly the colour of `start` with `fill`. Returns the rectangle
// of pixels changed (empty when nothing changed: start outside, or the area already `fill`).
// A guard is told each run of pixels before it is written (all of them change).
QRect floodFillExact(QImage& picture, QPoint start, QRgb fill, WriteGuard* guard = nullptr);

// Fills with a tolerance: a pixel matches when its distance to `target` is at most `tolerance`.
// With `all` every matching pixel of the picture becomes `fill`; otherwise the area spreads from
// `start` through 4-connected neighbours that match and are not already `fill`. Nothing happens
// when `fill` equals `target`. The picture must be Format_RGB32 (or ARGB32); extra memory is one
// two bits per pixel plus a few bytes per row. Returns the rectangle of pixels changed.
QRect fillWithTolerance(QImage& picture, QPoint start, int tolerance, QRgb target, QRgb fill, bool all,
                        WriteGuard* guard = nullptr);

// The global fill ("Все") written into another buffer: `to`, of the size and format of `from`,
// becomes `from` with every pixel within the tolerance of `target` turned `fill`, every pixel
// written once. Returns the blocks of kFillBlock × kFillBlock pixels (on a grid from the top-left
// corner, cut at the picture's edges) where `to` differs from `from`.
inline constexpr int kFillBlock = 64;
std::vector<QRect> fillAllInto(const QImage& from, QImage& to, int tolerance, QRgb target, QRgb fill);

}  // namespace velmar::paint
