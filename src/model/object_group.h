#pragma once

#include "model/outline.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace velmar {

// Several objects chosen at once: frames, objects in a frame or on the canvas, arrows. Each is
// named by its identity, so the group survives the slot shifts of deletions elsewhere.
using ObjectGroup = std::vector<ObjectId>;

// Where an object lies on the canvas: a frame's bounds, an object's bounds moved by its frame's
// corner, an arrow's box through its two ends. Empty for an unknown identity.
QRect canvasRectOf(const Outline& outline, ObjectId id);

// The group without unknown identities and repetitions, and without objects whose frame is in the
// group too (they go where their frame goes).
ObjectGroup groupLeaders(const Outline& outline, const ObjectGroup& group);

// The box around the group's members on the canvas; empty for an empty group.
QRect groupBounds(const Outline& outline, const ObjectGroup& group);

// What a rubber band dragged over the canvas encloses: frames, objects on the canvas and arrows
// wholly inside it, and objects wholly inside it whose frame is not.
ObjectGroup objectsEnclosed(const Outline& outline, const QRect& band);

// Every frame, every object lying on the canvas and every arrow (objects in frames go with them).
ObjectGroup allTopObjects(const Outline& outline);

// The positions of a group's leaders, taken before a move, so that a drag can place the group
// anew from them at every step and put it back when broken off.
struct GroupPositions {
    struct Entry {
        ObjectId id = 0;
        QRect bounds;       // frames and objects, as stored
        QPoint start, end;  // arrows
    };
    std::vector<Entry> entries;
};
GroupPositions capturePositions(const Outline& outline, const ObjectGroup& group);
// Places every captured object at its captured position moved by delta, stopping at the edge of
// what an outline file can hold.
void placeMoved(Outline& outline, const GroupPositions& positions, QPoint delta);
// Moves the group by delta; true when anything moved.
bool moveGroup(Outline& outline, const ObjectGroup& group, QPoint delta);

enum class GroupAlignment { Left, Centre, Right, Top, Middle, Bottom };
// Lines the group's leaders up with the edge or centre line of the group's box; true when
// anything moved.
bool alignGroup(Outline& outline, const ObjectGroup& group, GroupAlignment alignment);
// Spaces the leaders evenly across the group's box, left to right (or top to bottom): the first
// and the last stay, the gaps between neighbours become equal. Needs three leaders; true when
// anything moved.
bool distributeGroup(Outline& outline, const ObjectGroup& group, bool horizontally);

// Removes every member of the group (a frame with everything in it); how many were removed.
int removeGroup(Outline& outline, const ObjectGroup& group);

}  // namespace velmar
