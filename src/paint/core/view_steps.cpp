#include "paint/core/view_steps.h"

#include "paint/core/zoom_mapping.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace velmar::paint {

int steppedZoomRow(int row, int steps, ZoomScale current)
{
    constexpr int count = int(std::size(kZoomRowsBySize));
    const auto* const at = std::find(std::begin(kZoomRowsBySize), std::end(kZoomRowsBySize), row);
    if (at != std::end(kZoomRowsBySize))
        return kZoomRowsBySize[std::clamp(int(at - std::begin(kZoomRowsBySize)) + steps, 0, count - 1)];
    if (steps == 0)
        return row;
    // Between two sizes (the fit): the first step goes to the neighbour on that side.
    int below = -1, above = count;
    for (int i = 0; i < count; ++i) {
        const ZoomScale s = zoomScaleForIndex(kZoomRowsBySize[i]);
        if (s < current)
            below = i;
        else if (current < s && above == count)
            above = i;
    }
    const int place = steps > 0 ? above + steps - 1 : below + steps + 1;
    if ((steps > 0 && above == count) || (steps < 0 && below < 0))
        return row;
    return kZoomRowsBySize[std::clamp(place, 0, count - 1)];
}

QPoint scrollKeepingPoint(QPoint pointer, QPoint scroll, ZoomScale oldZoom, ZoomScale newZoom)
{
    const double from = double(oldZoom.up) / oldZoom.down;
    const double to = double(newZoom.up) / newZoom.down;
    const auto axis = [&](int at, int position) {
        // The point's place in the zoomed picture control, then in picture pixels.
        const double picture = (at - kPictureMargin + position) / from;
        return int(std::lrint(picture * to)) - at + kPictureMargin;
    };
    return {axis(pointer.x(), scroll.x()), axis(pointer.y(), scroll.y())};
}

QSize fitKeepingAspect(QSize size, QSize bounds)
{
    if (size.isEmpty() || bounds.isEmpty())
        return size;
    if (size.width() <= bounds.width() && size.height() <= bounds.height())
        return size;
    const QSize fitted = size.scaled(bounds, Qt::KeepAspectRatio);
    return {std::max(fitted.width(), 1), std::max(fitted.height(), 1)};
}

int wheelScrollPixels(int angle, int pixels)
{
    if (pixels != 0)
        return -pixels;
    // Whole notches and the fine steps of smooth wheels alike: 120 eighths of a degree a notch.
    return -int(std::lrint(double(angle) * kWheelNotchPixels / 120.0));
}

}  // namespace velmar::paint
