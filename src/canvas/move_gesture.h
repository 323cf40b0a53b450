#pragma once

#include "canvas/gesture.h"

namespace velmar {

// Moving a frame or an object by dragging it: its body, a frame's title, or a move bar of the
// black or blue set. The object follows the pointer from its first pixel (a press into a text
// field waits for a few, so that a click placing the caret does not nudge it); the release
// records one step when the object moved, and a title press always does.
class MoveGesture : public Gesture {
public:
    enum class Grip { Body, TextBody, Title, BlackMoveBar, BlueMoveBar };

    // How far the pointer travels from a press into a text field before the field follows it.
    static constexpr int kTextFieldThreshold = 3;

    MoveGesture(GestureContext& context, const PointerInput& press, ObjectId id, Grip grip);

    void cancel() override;
    bool holdsPointer() const override { return movesByBar(); }

private:
    void follow(const PointerInput& in) override;
    void finish(const PointerInput& in) override;
    void settle(bool record);
    bool movesByBar() const { return m_grip == Grip::BlackMoveBar || m_grip == Grip::BlueMoveBar; }

    ObjectId m_id;
    Grip m_grip;
    QRect m_start;
};

}  // namespace velmar
