#pragma once

#include "model/object_group.h"

#include <QPoint>
#include <QString>

#include <vector>

namespace velmar {

// Copying objects out of an outline and pasting them into one (the same or another): the copy is
// an outline of its own holding just those objects at their canvas places, with their texts,
// minimal texts, appearance and pictures (each keeping its JPEG stream).

// The objects of a group as an outline of their own: a frame with everything in it, an object
// whose frame stays behind on the canvas at its canvas place, the group's arrows and every arrow
// whose two ends lie on copied objects. Captions stay behind (an outline file cannot hold them).
// The copies keep their order in the two reading orders.
Outline copyObjects(const Outline& outline, const ObjectGroup& group);

// The outline's texts in reading order, one paragraph each: every frame in the frame order with
// its title, then the texts of the text fields in it in the object order; text fields on the
// canvas last. Lines are separated by "\n".
QString textsInReadingOrder(const Outline& outline);

struct PasteResult {
    // Why nothing was pasted (kinds whose tables have no room for the copies), or empty.
    QString refusal;
    // The pasted frames, objects on the canvas (or in the target frame) and arrows.
    ObjectGroup pasted;
};

// Pastes a copy into an outline, every object moved by delta on the canvas. With intoFrame (a
// frame slot, when the copy holds no frame) the objects go into that frame, fitted into it as new
// objects are; otherwise onto the canvas, frames with their objects. Nothing is pasted when a kind's
// table has no room for all its copies: the refusal names each kind that does not fit.
PasteResult pasteObjects(Outline& outline, const Outline& copy, QPoint delta, int intoFrame);

// The message naming the kinds that do not fit, or empty when all do.
QString pasteCapacityProblem(const Outline& outline, const Outline& copy);

}  // namespace velmar
