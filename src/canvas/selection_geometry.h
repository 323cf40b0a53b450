#pragma once

#include "model/object_kinds.h"

#include <QPoint>
#include <QRect>

#include <map>
#include <optional>

namespace velmar {

inline constexpr QSize kHandleSize{7, 7};
inline constexpr QSize kBlackMoveBarSize{65, 15};
inline constexpr QSize kBlueMoveBarSize{41, 15};
inline constexpr QSize kArrowStartHandleSize{9, 10};
inline constexpr QSize kArrowEndHandleSize{10, 10};
// The arrow end handles stand this far left of and above their end point.
inline constexpr int kArrowHandleOffset = 5;

// What dragging a handle does: size from an edge or corner, or move the whole object.
enum class Edge { Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight, Move };

// The two adornment sets: black around the outer selection (a frame or an object on the canvas),
// blue around the inner one.
enum class SelectionSet { Black, Blue };

// Where one set of selection adornments goes: the dotted outline and the move bar and eight
// handles, each by what dragging it does.
struct AdornmentLayout {
    SelectionSet set = SelectionSet::Black;
    // The dotted outline, in the coordinates of the selected object's parent: the canvas, or the
    // frame when the object lies inside one.
    QRect outline;
    // Where that parent's top-left corner lies on the canvas, and, inside a frame, the frame's
    // rectangle on the canvas, which the outline does not cross (a null rectangle on the canvas).
    QPoint outlineOrigin;
    QRect outlineClip;
    // Move bar (Edge::Move) and handles, in canvas coordinates, with their sizes.
    std::map<Edge, QRect> panels;

    // The rectangle of the move bar or of one handle.
    QRect rect(Edge edge) const;
};

// The black set around a frame or an object on the canvas at (L, T, W, H): the outline two pixels
// outside, the move bar above the top-left corner, the handles inside the object, two pixels in
// from its right and bottom edges.
AdornmentLayout blackSetAround(const QRect& bounds);

// The blue set around an object lying on the canvas: the black layout with the blue set's
// narrower move bar. The outline lies exactly on a picture's bounds, one pixel outside a text
// field (as after fitting it to its text) and two pixels outside a panel.
AdornmentLayout blueSetOnCanvas(const QRect& bounds, ObjectKind kind);

// The blue set around an object inside a frame, its bounds relative to the frame whose top-left
// corner is frameTopLeft: the outline one pixel outside the object, the handles centred on the
// object's corners and edges.
AdornmentLayout blueSetInFrame(const QRect& objectBounds, QPoint frameTopLeft);

// Bounds of an object as the outline stores them (relative to its parent frame; an arrow's
// picture on the canvas); empty for an object that does not exist. parentFrameOf
// (model/object_kinds.h) gives the slot of its parent frame.
QRect objectBounds(const Outline& outline, ObjectId id);

// The black set around a frame or an object lying on the canvas, and the blue set in the layout
// that fits the object (centred inside a frame, inside the corners on the canvas), from the
// outline as it is now; nothing for an object that does not exist or an arrow.
std::optional<AdornmentLayout> blackSetFor(const Outline& outline, ObjectId id);
std::optional<AdornmentLayout> blueSetFor(const Outline& outline, ObjectId id);

// The two arrow end handles around their end points.
QRect arrowStartHandle(QPoint start);
QRect arrowEndHandle(QPoint end);

// The rectangle after dragging an edge or corner by delta (or moving it, for Move). The opposite
// edges stay where they are, and the width and height never fall below 1.
QRect resizedRect(const QRect& start, Edge edge, QPoint delta);

}  // namespace velmar
