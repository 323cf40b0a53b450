#pragma once

#include "paint/core/zoom_mapping.h"

#include <QPoint>
#include <QSize>

namespace velmar::paint {

// The zoom row `steps` sizes away from `row` (positive: larger), from 1/8× to 8×. From the fit
// to the window (whose scale is `current`) the first step goes to the nearest row larger or
// smaller than it.
int steppedZoomRow(int row, int steps, ZoomScale current = ZoomScale());

// The scroll positions that keep the picture point under `pointer` (a point of the work area)
// under it when the zoom changes from `oldZoom` to `newZoom`. The picture's corner lies at
// 2 − scroll in the work area, so the point is found in picture pixels (with its fraction, so
// that zooming in and back out returns to the same view) and placed again at the new zoom.
// The result is not clamped: the scroll bars hold it to their ranges.
QPoint scrollKeepingPoint(QPoint pointer, QPoint scroll, ZoomScale oldZoom, ZoomScale newZoom);

// The largest size with the aspect of `size` that fits into `bounds` (at least 1 × 1); `size`
// itself when it fits already.
QSize fitKeepingAspect(QSize size, QSize bounds);

// The scroll a wheel turn asks for, in work-area pixels: `angle` is the wheel's angle delta in
// eighths of a degree (120 a notch), `pixels` the touchpad's own pixel delta when it sends one.
// A notch scrolls kWheelNotchPixels; positive angles (away from the user) scroll back.
inline constexpr int kWheelNotchPixels = 40;
int wheelScrollPixels(int angle, int pixels);

}  // namespace velmar::paint
