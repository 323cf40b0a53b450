#include "paint/core/zoom_mapping.h"

#include <cmath>

namespace velmar::paint {

namespace {
constexpr int kZoomFactors[kZoomRowCount] = {1, 2, 6, 8};
constexpr const char* kZoomTexts[kZoomRowCount] = {"  1x", "  2x", "  6x", "  8x"};
}  // namespace

int zoomFactorForIndex(int zoomIndex)
{
    return zoomIndex >= 0 && zoomIndex < kZoomRowCount ? kZoomFactors[zoomIndex] : 1;
}

const char* zoomRowText(int zoomIndex)
{
    return zoomIndex >= 0 && zoomIndex < kZoomRowCount ? kZoomTexts[zoomIndex] : kZoomTexts[0];
}

QPoint toPicturePixel(QPoint controlPos, int zoomFactor)
{
    const int z = zoomFactor < 1 ? 1 : zoomFactor;
    return QPoint(controlPos.x() / z, controlPos.y() / z);
}

int snapToZoom(int v, int zoomFactor)
{
    const int z = zoomFactor < 1 ? 1 : zoomFactor;
    return int(std::lrint(double(v) / z)) * z;
}

QPoint snapToZoom(QPoint p, int zoomFactor) { return {snapToZoom(p.x(), zoomFactor), snapToZoom(p.y(), zoomFactor)}; }

ScrollAxis layoutAxis(int workExtent, int controlExtent)
{
    if (workExtent < controlExtent + kScrollSlack)
        return {true, controlExtent - workExtent + kScrollSlack};
    return {false, 0};
}

CanvasLayout layoutCanvas(QSize workArea, QSize pictureControl)
{
    return {layoutAxis(workArea.width(), pictureControl.width()),
            layoutAxis(workArea.height(), pictureControl.height())};
}

}  // namespace velmar::paint
