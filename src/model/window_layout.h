#pragma once

#include <QRect>
#include <QSize>

#include <algorithm>

namespace velmar {

// The main window's layout facts, stated once for the model, the canvas, the exports and the tests.

// The tool bar's band at the top of the canvas: canvas coordinates count from above it, so the
// objects of a new outline start below it, and frames and video fragments keep their zoom
// reference without it.
inline constexpr int kToolBarHeight = 31;
// The zoom's reference client height leaves out the tool bar and the pixel below it.
inline constexpr int kZoomClientHeightOffset = kToolBarHeight + 1;
// The main window's outer size for a new outline, and for an outline file that stores none.
inline constexpr QSize kDefaultWindowSize{744, 546};

// What follows from those facts for a canvas of a given size.
class WindowGeometry {
public:
    explicit constexpr WindowGeometry(QSize canvas) : m_canvas(canvas) {}

    // The part of the canvas below the tool bar, as exported pictures show it.
    constexpr QRect belowToolBar() const
    {
        return QRect(0, kToolBarHeight, m_canvas.width(), std::max(0, m_canvas.height() - kToolBarHeight));
    }
    // The client size the zoom records as its reference for this canvas.
    constexpr QSize zoomReference() const
    {
        return QSize(m_canvas.width(), m_canvas.height() - kZoomClientHeightOffset);
    }
    // Whether the zoom can scale from or to this canvas: some room below the tool bar.
    constexpr bool zoomable() const { return m_canvas.width() > 0 && m_canvas.height() > kZoomClientHeightOffset; }

    // A window asked for an outer size, its frame adding `frame` (nothing before the window
    // manager framed it): the outer size kept as wanted (at least the minimum with the frame) and
    // the inner size to give the window, at least the minimum and at most what the screen's
    // available area leaves inside the frame (an invalid area: no screen known).
    struct OuterFit {
        QSize wantedOuter;
        QSize inner;
    };
    static constexpr OuterFit fitOuter(QSize outer, QSize frame, QSize minimum, QSize screenArea)
    {
        const QSize wanted = outer.expandedTo(minimum + frame);
        QSize inner = wanted - frame;
        if (screenArea.isValid())
            inner = inner.boundedTo(screenArea - frame);
        return {wanted, inner.expandedTo(minimum).expandedTo(QSize(1, 1))};
    }
    // The canvas that a canvas `madeFor` in a window of outer size `storedOuter` becomes once the
    // window is held to the minimum and to the screen's available area: the canvas loses as much
    // as the window does.
    static constexpr QSize canvasOnScreen(QSize madeFor, QSize storedOuter, QSize minimum, QSize screenArea)
    {
        const QSize outer = storedOuter.expandedTo(minimum).boundedTo(screenArea);
        return madeFor + (outer - storedOuter);
    }

private:
    QSize m_canvas;
};

}  // namespace velmar
