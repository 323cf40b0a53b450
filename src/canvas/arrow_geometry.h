#pragma once

#include "model/colour.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRegion>

namespace velmar {

// Margin of an arrow's image around the box of its two end points.
inline constexpr int kArrowMargin = 15;
inline constexpr int kArrowHeadMin = 4;
inline constexpr int kArrowHeadMax = 25;
inline constexpr int kArrowHeadAngle = 20;  // degrees on either side of the shaft
// Degrees and radians are converted with this value of pi, in both directions, so that the
// drawing matches arrows made elsewhere to the pixel.
inline constexpr double kArrowPi = 3.14;
// Pen widths that arrows are drawn with.
inline constexpr int kArrowPenMin = 1;
inline constexpr int kArrowPenMax = 10;
// Images beyond this side length are not made: such an arrow lies far outside any screen and its
// picture would take gigabytes.
inline constexpr int kArrowImageMaxSide = 16384;

// Where an arrow from (x1, y1) to (x2, y2) is placed and what is drawn into its image.
struct ArrowGeometry {
    QRect imageRect;    // the image control, canvas coordinates
    double length = 0;  // distance of the end points
    int headLength = kArrowHeadMin;
    double angle = 0;  // direction in degrees (0 points down, about 90 right)
    QPoint start;      // S, image coordinates
    QPointF endExact;  // P before rounding, image coordinates
    QPoint end;        // P rounded: where the shaft ends and the head strokes start
    QPoint headEnd1, headEnd2;
    bool hasHead = true;  // false when the end points coincide: a dot, no direction
};

// The placing rule: the image spans the end points' box plus 15 pixels on every side; the head
// length is a quarter of the length, within 4..25; every point is rounded halves to even.
ArrowGeometry arrowGeometry(int x1, int y1, int x2, int y2);

// Draws the arrow into a transparent ARGB32 image of the geometry's size: the shaft from S to P
// and the two head strokes from P, with a round-capped pen of the given width (clamped to 1..10)
// and colour; coinciding end points give one dot of the pen width. Returns a null image when the
// image would be larger than kArrowImageMaxSide in either direction.
QImage renderArrow(const ArrowGeometry& geometry, int penWidth, ColourValue colour);

// Draws the same strokes with a painter whose origin is the image's top-left corner: through a
// scaled painter (PDF, SVG, printing, enlarged export) the arrow stays sharp.
void drawArrow(QPainter& painter, const ArrowGeometry& geometry, int penWidth, ColourValue colour);

// The pixels an arrow takes presses on: its strokes drawn with the widest pen, in the image's
// coordinates. Empty where renderArrow would make no image.
QRegion arrowHitRegion(const ArrowGeometry& geometry);

// Both at once, as creation, loading, end dragging, recolouring and the zoom need them.
struct ArrowPicture {
    ArrowGeometry geometry;
    QImage image;
};
ArrowPicture placeArrow(int x1, int y1, int x2, int y2, int penWidth, ColourValue colour);

}  // namespace velmar
