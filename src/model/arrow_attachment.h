#pragma once

#include "model/outline.h"

#include <QPoint>
#include <QRect>

#include <optional>
#include <vector>

namespace velmar {

// Arrows whose ends stay on the objects they were dropped on. An end dropped on a frame, picture,
// text field or video fragment is attached to it at the place it landed, kept as shares of the
// object's width and height; whenever the object moves, is resized, snapped or zoomed, the end is
// put back at that place (followAttachments). An end dropped on bare canvas is free.

// Whether an end may be attached to objects of this kind (captions are kept in no file, arrows
// hold no ends).
bool isAttachableKind(ObjectKind kind);

// The canvas rectangle an end can be attached within: the object's bounds, placed in its frame for
// an object lying in one; nothing for a kind that takes no ends or a slot that does not exist.
std::optional<QRect> attachableRect(const Outline& outline, ObjectKind kind, int slot);

// The object an end dropped at a canvas point lands on: the topmost picture, text field or video
// fragment there (one in a frame only within the frame), else the topmost frame; an invalid
// reference on bare canvas.
ObjectRef attachableObjectAt(const Outline& outline, QPoint canvasPoint);

// The identity of that object; 0 on bare canvas.
ObjectId attachableObjectIdAt(const Outline& outline, QPoint canvasPoint);

// The attachment an end dropped at the point gets (free on bare canvas).
ArrowEndAttachment attachmentAt(const Outline& outline, QPoint canvasPoint);

// The canvas point an attached end stands at, within what an outline file can hold; nothing for a
// free end or one whose object does not exist.
std::optional<QPoint> attachedPoint(const Outline& outline, const ArrowEndAttachment& end);

// Drops one end of an arrow at a canvas point: it is attached to what lies there (or made free)
// and stands at the attached place, which is the point itself to the pixel. Returns whether the
// arrow changed (its end or its attachment).
bool dropArrowEnd(Outline& outline, int arrowSlot, bool startEnd, QPoint canvasPoint);

// Puts every attached end at its place on its object; an end whose object no longer exists is
// freed where it stands. Returns the identities of the arrows that changed.
std::vector<ObjectId> followAttachments(Outline& outline);

// An attachment read from a file is kept only when it names an object an end can be attached to
// and the file's arrow end stands exactly at its place there (a tool that moved the arrow or the
// object but kept the attachments leaves them behind): the others are freed. Returns the slots of
// the arrows that lost an attachment.
std::vector<int> freeUnsoundAttachments(Outline& outline);

// The attachment as the extension block stores it: the object as kind × 256 + slot (0 for a free
// end) and the place as shareX × 65536 + shareY.
quint32 attachedObjectCode(const ArrowEndAttachment& end);
quint32 attachedPlaceCode(const ArrowEndAttachment& end);
void setAttachedObjectCode(ArrowEndAttachment& end, quint32 code);
void setAttachedPlaceCode(ArrowEndAttachment& end, quint32 code);

}  // namespace velmar
