#pragma once

#include "canvas/gesture.h"
#include "canvas/selection_geometry.h"

namespace velmar {

// Sizing a frame or an object by one of the eight handles of its black (outer) or blue (inner)
// set: the dragged edge or corner follows the pointer from the press, the opposite edges stay.
// The release records one step when the size changed and shows the sets again.
class ResizeGesture : public Gesture {
public:
    ResizeGesture(GestureContext& context, const PointerInput& press, ObjectId id, Edge edge, bool outer);

    void cancel() override;
    // The pressed handle is hidden for the drag.
    bool holdsPointer() const override { return true; }

private:
    void follow(const PointerInput& in) override;
    void finish(const PointerInput& in) override;
    void resizeTo(const QRect& bounds);
    void settle(bool record);

    ObjectId m_id;
    Edge m_edge;
    bool m_outer;
    QRect m_start;
};

}  // namespace velmar
