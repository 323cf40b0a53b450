#pragma once

#include <QPoint>
#include <QRgb>
#include <Qt>

namespace velmar::paint {

// The editor's tools, numbered as the tool column numbers them (6 and 12 belong to no button).
enum class ToolId : int {
    Selection = 1,
    Zoom = 2,
    Eraser = 3,
    ColourPicker = 4,
    Pencil = 5,
    Spray = 7,
    Fill = 8,
    Line = 9,
    Text = 10,
    Rectangle = 11,
    Ellipse = 13,
    RoundedRectangle = 14,
};

// One mouse event on the picture as the work-area widget hands it to the editor core.
// `pos` is in the zoomed picture control's own pixels (0,0 = the picture's top-left corner on
// screen, whatever the scroll position); `pixel` is the picture pixel under it
// (pos div zoomFactor, truncating).
struct ToolInput {
    QPoint pos;
    QPoint pixel;
    Qt::MouseButton button = Qt::NoButton;    // the button pressed or released (none for moves)
    Qt::MouseButtons buttons = Qt::NoButton;  // the buttons held after the event
    bool shift = false;
    bool alt = false;
};

// Fill styles of the rectangle, ellipse and rounded rectangle (rows of the fill-style list).
enum class FillStyle : int { Outline = 0, OutlineAndOther = 1, Solid = 2 };

// Arrow heads of the line tool (rows of its option list): none, at the line's end (where the
// drag ended), at both ends.
enum class ArrowHeads : int { None = 0, End = 1, Both = 2 };

}  // namespace velmar::paint
