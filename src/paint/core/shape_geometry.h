#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>

namespace velmar::paint {

// The bearing of a drag from (0,0) by (dx, dy) on screen (y downwards), in whole degrees:
// 0 straight up, 90 right, 180 down, 270 left.
int dragBearing(int dx, int dy);

// The end point of a line dragged from `start` to `pointer` with Shift held: one of eight
// directions chosen by the bearing; the diagonals end on the 45° diagonal at the pointer's
// distance. Both points and the result are in screen pixels of the picture control.
QPoint constrainedLineEnd(QPoint start, QPoint pointer);

// The far corner of a rectangle dragged from `start` to `pointer` with Shift held: a square whose
// side is the larger offset (flat when the other offset is 0).
QPoint squareCorner(QPoint start, QPoint pointer);

// Two opposite corners of an ellipse drawn from its centre `start` towards `pointer`: the pointer
// and its mirror image through the centre; with `circle`, the square box of the larger offset.
struct CornerPair {
    QPoint a;
    QPoint b;
};
CornerPair ellipseCorners(QPoint start, QPoint pointer, bool circle);

// An arrow head at the end `tip` of a line from `from`, for a line `width` pixels wide: a
// triangle whose point is the tip, `length` back along the line, and the point on the line where
// the head begins (the line is drawn up to there, so its round end does not poke past the tip).
// The head keeps to at most `share` of the line's length (a half when both ends carry one).
struct ArrowHead {
    QPointF tip;
    QPointF left;
    QPointF right;
    QPointF base;
};
ArrowHead arrowHead(QPointF from, QPointF tip, int width, double share = 1.0);
// How far a head of a line of that width reaches from the line's end, in pixels.
int arrowHeadReach(int width);

// The picture-pixel rectangle that a figure with corners a and b covers (right and bottom
// exclusive, as the figures are drawn), given in picture pixels.
QRect figureRect(QPoint a, QPoint b);

}  // namespace velmar::paint
