#pragma once

#include "canvas/gesture.h"

namespace velmar {

// Alt + drag of an object: released over a frame, the object moves into that frame with its
// top-left corner at the release point; released anywhere else, it stays where it was. The
// object itself does not follow the pointer; the cursor shows the drag.
class AltDropGesture : public Gesture {
public:
    AltDropGesture(GestureContext& context, const PointerInput& press, ObjectId id);

    void cancel() override;

private:
    void follow(const PointerInput& in) override;
    void finish(const PointerInput& in) override;

    ObjectId m_id;
};

// The slot of the topmost frame containing a canvas point (later frames lie above earlier
// ones), 0 for none.
int frameAt(const Outline& outline, QPoint canvasPoint);

}  // namespace velmar
