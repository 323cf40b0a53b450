#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace velmar::paint {

// Screen pixels per picture pixel as a fraction up / down: 2/1 shows each picture pixel as a
// 2 × 2 block, 1/4 shows every fourth picture pixel of every fourth row. Either `down` is 1 (the
// whole zooms 1, 2, 6, 8) or up ≤ down (the zooms below 1 and the fit to the window, which never
// enlarges). An int converts to the whole zoom it names.
struct ZoomScale {
    int up = 1;
    int down = 1;

    constexpr ZoomScale(int factor = 1) : up(factor < 1 ? 1 : factor), down(1) {}
    constexpr ZoomScale(int up_, int down_) : up(up_ < 1 ? 1 : up_), down(down_ < 1 ? 1 : down_) {}

    constexpr bool operator==(const ZoomScale& o) const { return qint64(up) * o.down == qint64(o.up) * down; }
    constexpr bool operator<(const ZoomScale& o) const { return qint64(up) * o.down < qint64(o.up) * down; }
    constexpr bool isOne() const { return up == down; }
    // Whether a picture pixel takes more than one screen pixel.
    constexpr bool magnifies() const { return up > down; }
    // The block side of a magnifying zoom; 1 at and below 1×.
    constexpr int blockSide() const { return up > down ? up / down : 1; }

    // The picture coordinate shown at a control coordinate (truncating toward zero, as integer
    // division does).
    constexpr int toPicture(int c) const { return int(qint64(c) * down / up); }
    // The control coordinate of a picture coordinate (of its pixel's first screen pixel when
    // magnified).
    constexpr int toControl(int p) const { return int(qint64(p) * up / down); }
    QPoint toPicture(QPoint c) const { return {toPicture(c.x()), toPicture(c.y())}; }
    QPoint toControl(QPoint p) const { return {toControl(p.x()), toControl(p.y())}; }
    // The control size of a picture size: at least one screen pixel each way.
    QSize toControl(QSize s) const;
    // The picture size a control size stands for: at least one pixel each way.
    QSize toPicture(QSize s) const;
    // The picture coordinate of a control edge, rounding toward minus infinity: an edge dragged
    // left of the picture keeps its pixels on the grid.
    int edgeToPicture(int c) const;
    // The control pixels showing some of these picture pixels.
    QRect controlRect(const QRect& pixels) const;
};

// The zoom rows of the zoom list, by row: "  1x", "  2x", "  6x", "  8x" and, below 1×,
// "  1/2x", "  1/4x", "  1/8x", then the fit to the window. The rows keep their numbers; the
// wheel and the keys step through them by size (zoomRowsBySize).
inline constexpr int kZoomRowCount = 8;
inline constexpr int kFitRow = 7;
inline constexpr int kZoomRowsBySize[] = {6, 5, 4, 0, 1, 2, 3};
// The scale of a row (the fit row has none of its own: 1×); out-of-range rows give 1×.
ZoomScale zoomScaleForIndex(int zoomIndex);
// The whole factor of a row at or above 1×, 1 for the others.
int zoomFactorForIndex(int zoomIndex);
const char* zoomRowText(int zoomIndex);  // "  1x" …

// The scale that shows the whole picture in `view` (never above 1×).
ZoomScale fitScale(QSize picture, QSize view);

// The picture pixel under a point of the zoomed picture control: (X div z, Y div z), truncating
// toward zero as integer division does (so points just left of or above the picture map to 0).
QPoint toPicturePixel(QPoint controlPos, ZoomScale zoom);

// A coordinate snapped to the zoom grid: the nearest multiple of the block side, halves going
// to the even multiple (at zoom 2, 3 → 4 and 5 → 4). Below 1× every screen pixel is on the grid.
int snapToZoom(int v, ZoomScale zoom);
QPoint snapToZoom(QPoint p, ZoomScale zoom);

// The picture keeps this margin from the work area's top-left corner.
inline constexpr int kPictureMargin = 2;
// The work area must be this much wider (higher) than the picture control before the scroll bar
// is turned off.
inline constexpr int kScrollSlack = 23;

// One direction of the canvas layout: whether its scroll bar is enabled, its maximum, and the
// picture's offset in the work area for a given scroll position.
struct ScrollAxis {
    bool enabled = false;
    int maximum = 0;
};
ScrollAxis layoutAxis(int workExtent, int controlExtent);
// The picture's left (top) in the work area at a scroll position: 2 − position.
inline int pictureOffset(int scrollPosition) { return kPictureMargin - scrollPosition; }

// Both scroll bars of the work area for a picture control of the given (zoomed) size.
struct CanvasLayout {
    ScrollAxis horizontal;
    ScrollAxis vertical;
};
CanvasLayout layoutCanvas(QSize workArea, QSize pictureControl);

}  // namespace velmar::paint
