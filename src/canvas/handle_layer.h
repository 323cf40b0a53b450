#pragma once

#include "model/outline.h"

#include <QPoint>

#include <vector>

namespace velmar {

// What the selection shows, apart from the widgets that draw it: the object the black set stands
// around (the outer selection: a frame or an object on the canvas), the object the blue set
// stands around (the inner selection), and the two arrow end points while their handles show.
// The end points are the arrow's until one is dragged, then the dragged position.
struct SelectionModel {
    ObjectId blackAround = 0;  // 0 = the black set is hidden
    ObjectId blueAround = 0;   // 0 = the blue set is hidden
    bool arrowHandles = false;
    QPoint arrowStart, arrowEnd;
    // The objects an arrow end dragged now would be attached to if dropped, shown highlighted.
    std::vector<ObjectId> attachTargets;
};

// The selection's handle sets as the canvas gestures and commands change them. The canvas's
// handle layer draws them with widgets; gestures only see this.
class HandleLayer {
public:
    virtual ~HandleLayer() = default;

    virtual const SelectionModel& model() const = 0;

    // Shows a set around an object of the outline, in the layout that fits it.
    virtual void showBlackSet(ObjectId id) = 0;
    virtual void showBlueSet(ObjectId id) = 0;
    virtual void showArrowHandles(QPoint start, QPoint end) = 0;
    // Moves one arrow end handle to stand for a new end point (while it is dragged).
    virtual void moveArrowEnd(bool start, QPoint point) = 0;
    // Highlights the objects dragged arrow ends would be attached to (none: no highlight).
    virtual void showAttachTargets(const std::vector<ObjectId>& targets) = 0;

    virtual void hideBlackSet() = 0;
    virtual void hideBlueSet() = 0;
    virtual void hideArrowHandles() = 0;
};

}  // namespace velmar
