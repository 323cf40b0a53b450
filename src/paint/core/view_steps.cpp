#include "paint/core/view_steps.h"

#include "paint/core/zoom_mapping.h"

#include <algorithm>
#include <cmath>

namespace velmar::paint {

int steppedZoomRow(int row, int steps) { return std::clamp(row + steps, 0, kZoomRowCount - 1); }

QPoint scrollKeepingPoint(QPoint pointer, QPoint scroll, int oldZoom, int newZoom)
{
    const double from = std::max(oldZoom, 1);
    const double to = std::max(newZoom, 1);
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
