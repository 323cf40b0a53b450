#pragma once

#include "canvas/gesture.h"

namespace velmar {

// Dragging one end handle of the selected arrow: the handle follows the pointer from the press;
// on release the arrow is rebuilt between the two handles (within what an outline file can
// hold) and one step is recorded when the dragged end moved.
class ArrowEndGesture : public Gesture {
public:
    ArrowEndGesture(GestureContext& context, const PointerInput& press, bool startEnd);

    void cancel() override;

private:
    void follow(const PointerInput& in) override;
    void finish(const PointerInput& in) override;

    bool m_startEnd;  // the start handle, or the end (head) handle
    QPoint m_from;    // the end point when pressed
};

}  // namespace velmar
