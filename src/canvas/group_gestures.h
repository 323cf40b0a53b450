#pragma once

#include "canvas/gesture.h"
#include "model/object_group.h"

namespace velmar {

// A rubber band dragged on the empty canvas: what it encloses on release becomes the group
// (added to the group there was, with Ctrl or Shift held).
class RubberBandGesture : public Gesture {
public:
    RubberBandGesture(GestureContext& context, const PointerInput& press, bool adding);
    void cancel() override;

private:
    void follow(const PointerInput& in) override;
    void finish(const PointerInput& in) override;
    QRect band(const PointerInput& in) const;

    bool m_adding;
};

// Dragging one object of the group moves the whole group; the release records one step when
// anything moved.
class GroupMoveGesture : public Gesture {
public:
    GroupMoveGesture(GestureContext& context, const PointerInput& press);
    void cancel() override;

private:
    void follow(const PointerInput& in) override;
    void finish(const PointerInput& in) override;
    void placeWidgets();

    GroupPositions m_start;
    bool m_moved = false;
};

}  // namespace velmar
