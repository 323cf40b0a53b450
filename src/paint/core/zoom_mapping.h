#pragma once

#include <QPoint>
#include <QSize>

namespace velmar::paint {

// The four zoom rows of the zoom list ("  1x", "  2x", "  6x", "  8x").
inline constexpr int kZoomRowCount = 4;
int zoomFactorForIndex(int zoomIndex);   // 1, 2, 6, 8; out-of-range rows give 1
const char* zoomRowText(int zoomIndex);  // "  1x" …

// The picture pixel under a point of the zoomed picture control: (X div z, Y div z), truncating
// toward zero as integer division does (so points just left of or above the picture map to 0).
QPoint toPicturePixel(QPoint controlPos, int zoomFactor);

// A coordinate snapped to the zoom grid: the nearest multiple of the zoom factor, halves going
// to the even multiple (at zoom 2, 3 → 4 and 5 → 4).
int snapToZoom(int v, int zoomFactor);
QPoint snapToZoom(QPoint p, int zoomFactor);

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
