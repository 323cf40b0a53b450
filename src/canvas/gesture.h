#pragma once

#include "canvas/handle_layer.h"
#include "canvas/pointer_input.h"
#include "document/editor_session.h"
#include "storage/history.h"

namespace velmar {

// What a canvas gesture may reach: the document, the handle sets, the history and the few view
// updates a drag needs. Never the window or its widgets.
class GestureContext {
public:
    virtual ~GestureContext() = default;

    virtual OpenOutline& document() = 0;
    virtual HandleLayer& handles() = 0;
    // Records a history step after a finished change.
    virtual void recordStep(StepKind kind) = 0;
    // The object's widget takes the place the outline now gives it (cheap: nothing is re-rendered).
    virtual void placeWidget(ObjectId id) = 0;
    // Every object widget matches the outline again (re-renders pictures at a new size…).
    virtual void syncView() = 0;
    virtual void redrawOverlays() = 0;
    virtual void showDragCursor(ObjectId id, bool dragging) = 0;
    // What a finished press on a frame (its body or title) or on an object leaves chosen: the
    // selection sets, the current object and the tool buttons that follow it.
    virtual void frameChosen(ObjectId frame, bool titlePress) = 0;
    virtual void objectChosen(ObjectId id) = 0;
    // The group of objects chosen together is shown again (after it changed or moved), and the
    // rubber band being dragged (an empty rectangle: none).
    virtual void showGroup() {}
    virtual void showBand(const QRect& band) { Q_UNUSED(band); }
};

// One mouse interaction on the canvas from press to release. The press made it; it is fed the
// pointer's moves and its release, or broken off. A gesture follows the pointer once it has
// travelled its threshold from the press point; until then the pressed widget sees the moves
// (a click into a text field places the caret).
class Gesture {
public:
    virtual ~Gesture() = default;

    // A move with the button down; true when the gesture took it.
    bool move(const PointerInput& in);
    // The release: finishes the gesture. True when the gesture took it.
    bool release(const PointerInput& in);
    // Breaks the gesture off (Escape, the window losing the focus): everything it changed goes
    // back to how the press found it, and no history step is recorded.
    virtual void cancel() = 0;

    bool following() const { return m_following; }
    // The gesture needs every move until the release, even off the pressed widget (its handle
    // was hidden at the press): the canvas holds the pointer.
    virtual bool holdsPointer() const { return false; }

protected:
    // threshold: how far (Manhattan) the pointer goes before the gesture follows it; 0 = from the
    // first move. followNow: it follows from the press itself.
    Gesture(GestureContext& context, const PointerInput& press, int threshold, bool followNow);

    virtual void follow(const PointerInput& in) = 0;
    virtual void finish(const PointerInput& in) = 0;

    OpenOutline& doc() { return m_context.document(); }
    QPoint travel(const PointerInput& in) const { return in.pos - m_press.pos; }

    GestureContext& m_context;
    const PointerInput m_press;

private:
    int m_threshold;
    bool m_following;
};

// A rectangle as an outline file can hold it: left and top within the coordinate range, width
// and height no larger than it.
QRect storableRect(const QRect& r);

// Sets the stored bounds of a frame or an object (not an arrow); nothing for a missing object.
void setObjectBounds(Outline& outline, ObjectId id, const QRect& bounds);

}  // namespace velmar
