#include "paint/core/zoom_mapping.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace velmar::paint {

namespace {
constexpr ZoomScale kZoomScales[kZoomRowCount] = {{1, 1}, {2, 1}, {6, 1}, {8, 1}, {1, 2}, {1, 4}, {1, 8}, {1, 1}};
constexpr const char* kZoomTexts[kZoomRowCount] = {
    "  1x", "  2x", "  6x", "  8x", "  1/2x", "  1/4x", "  1/8x", QT_TRANSLATE_NOOP("PaintTools", "По окну")};

qint64 floorDiv(qint64 v, qint64 d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }
qint64 ceilDiv(qint64 v, qint64 d) { return -floorDiv(-v, d); }
}  // namespace

QSize ZoomScale::toControl(QSize s) const
{
    return {std::max(1, toControl(s.width())), std::max(1, toControl(s.height()))};
}

QSize ZoomScale::toPicture(QSize s) const
{
    return {std::max(1, toPicture(s.width())), std::max(1, toPicture(s.height()))};
}

int ZoomScale::edgeToPicture(int c) const { return int(floorDiv(qint64(c) * down, up)); }

QRect ZoomScale::controlRect(const QRect& pixels) const
{
    if (pixels.isEmpty())
        return {};
    const qint64 left = floorDiv(qint64(pixels.left()) * up, down);
    const qint64 top = floorDiv(qint64(pixels.top()) * up, down);
    const qint64 right = ceilDiv(qint64(pixels.left() + pixels.width()) * up, down);
    const qint64 bottom = ceilDiv(qint64(pixels.top() + pixels.height()) * up, down);
    return QRect(int(left), int(top), int(std::max<qint64>(1, right - left)), int(std::max<qint64>(1, bottom - top)));
}

ZoomScale zoomScaleForIndex(int zoomIndex)
{
    return zoomIndex >= 0 && zoomIndex < kZoomRowCount ? kZoomScales[zoomIndex] : ZoomScale();
}

int zoomFactorForIndex(int zoomIndex) { return zoomScaleForIndex(zoomIndex).blockSide(); }

const char* zoomRowText(int zoomIndex)
{
    return zoomIndex >= 0 && zoomIndex < kZoomRowCount ? kZoomTexts[zoomIndex] : kZoomTexts[0];
}

ZoomScale fitScale(QSize picture, QSize view)
{
    if (picture.isEmpty() || view.isEmpty())
        return {};
    if (picture.width() <= view.width() && picture.height() <= view.height())
        return {};
    // The narrower of the two ratios, as a fraction of the sizes themselves.
    if (qint64(view.width()) * picture.height() <= qint64(view.height()) * picture.width())
        return {std::max(1, view.width()), picture.width()};
    return {std::max(1, view.height()), picture.height()};
}

QPoint toPicturePixel(QPoint controlPos, ZoomScale zoom) { return zoom.toPicture(controlPos); }

int snapToZoom(int v, ZoomScale zoom)
{
    const int z = zoom.blockSide();
    if (z == 1)
        return v;
    return int(std::lrint(double(v) / z)) * z;
}

QPoint snapToZoom(QPoint p, ZoomScale zoom) { return {snapToZoom(p.x(), zoom), snapToZoom(p.y(), zoom)}; }

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
