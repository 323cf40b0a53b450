#pragma once

#include "model/outline.h"

#include <QPoint>
#include <QRect>
#include <QString>

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

// Where one set of selection adornments goes: the dotted outline ("Shape1" or "Shape2") and the
// move bar and eight handles, each by its component name ("Panel3", "Panel11"…).
struct AdornmentLayout {
    QString outlineName;
    // The dotted outline, in the coordinates of the selected object's parent: the canvas, or the
    // frame when the object lies inside one.
    QRect outline;
    // Where that parent's top-left corner lies on the canvas, and, inside a frame, the frame's
    // rectangle on the canvas, which the outline does not cross (a null rectangle on the canvas).
    QPoint outlineOrigin;
    QRect outlineClip;
    // Move bar and handles, in canvas coordinates, with their sizes.
    std::map<QString, QRect> panels;

    // The rectangle of one component (outline or panel); an empty rectangle for other names.
    QRect rect(const QString& name) const;
};

// The black set around a frame or an object on the canvas at (L, T, W, H): "Shape1" two pixels
// outside, the move bar "Panel11" above the top-left corner, handles "Panel3".."Panel10" inside
// the object, two pixels in from its right and bottom edges.
AdornmentLayout blackSetAround(const QRect& bounds);

// The blue set around an object lying on the canvas: the black layout with the blue names
// ("Panel20", "Panel12".."Panel19"). "Shape2" lies exactly on a picture's bounds, one pixel
// outside a text field (as after fitting it to its text) and two pixels outside a panel.
AdornmentLayout blueSetOnCanvas(const QRect& bounds, ObjectKind kind);

// The blue set around an object inside a frame, its bounds relative to the frame whose top-left
// corner is frameTopLeft: "Shape2" (a child of the frame) one pixel outside the object, the
// handles centred on the object's corners and edges.
AdornmentLayout blueSetInFrame(const QRect& objectBounds, QPoint frameTopLeft);

// Bounds of an object as the outline stores them (relative to its parent frame; an arrow's
// picture on the canvas), and the slot of its parent frame (0 = the canvas). Empty and 0 for an
// object that does not exist.
QRect objectBounds(const Outline& outline, ObjectId id);
int parentFrameOf(const Outline& outline, ObjectId id);

// The black set around a frame or an object lying on the canvas, and the blue set in the layout
// that fits the object (centred inside a frame, inside the corners on the canvas), from the
// outline as it is now; nothing for an object that does not exist or an arrow.
std::optional<AdornmentLayout> blackSetFor(const Outline& outline, ObjectId id);
std::optional<AdornmentLayout> blueSetFor(const Outline& outline, ObjectId id);

// The two arrow end handles around their end points.
QRect arrowStartHandle(QPoint start);  // "Panel23"
QRect arrowEndHandle(QPoint end);      // "Panel24"

// What dragging a handle does: size from an edge or corner, or move the whole object.
enum class Edge { Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight, Move };

// The edge or corner that a handle sizes from ("Panel3" and "Panel12" the top-left corner…), Move
// for the move bars "Panel11" and "Panel20"; nothing for other names.
std::optional<Edge> handleEdge(const QString& handleName);

// The rectangle after dragging an edge or corner by delta (or moving it, for Move). The opposite
// edges stay where they are, and the width and height never fall below 1.
QRect resizedRect(const QRect& start, Edge edge, QPoint delta);

}  // namespace velmar
