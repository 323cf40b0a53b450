#pragma once

#include "canvas/gesture.h"

namespace velmar {

// Dragging a whole arrow: both end points move with the pointer from its first move, its end
// handles with them, and it stops at the edge of what an outline file can hold. The release
// records one step when the arrow moved at all.
class ArrowDragGesture : public Gesture {
public:
    ArrowDragGesture(GestureContext& context, const PointerInput& press, ObjectId id);

    void cancel() override;

private:
    void follow(const PointerInput& in) override;
    void finish(const PointerInput& in) override;
    ArrowObject* arrow();
    void shift(ArrowObject& a, QPoint offset);

    ObjectId m_id;
    QPoint m_moved;          // how far the arrow has moved since the press
    bool m_shifted = false;  // it moved at all (and may have come back)
};

}  // namespace velmar
