#pragma once

#include "model/outline.h"

#include <QString>

#include <unordered_map>
#include <vector>

namespace velmar {

// One step of showing an outline: the objects that appear at it and the line that names it.
struct RevealStep {
    ObjectId lead = 0;                // the frame or object this step is about; 0 for the start
    std::vector<ObjectId> appearing;  // lead first, then the captions and arrows that come with it
    QString subtitle;                 // the lead's minimal text, its line breaks as '\n'
};

// The order in which an outline is shown, one frame or object at a time, in reading order.
//
// Step 0 is the empty canvas. Then every frame of the frame sequence, each followed by the
// objects lying in it in object-sequence order; then the objects lying on the canvas in
// object-sequence order. A frame brings its captions with it. Frames and objects that stand in no
// sequence are not dropped: a frame missing from the frame sequence follows the sequenced frames
// (in slot order), and an object missing from the object sequence follows the sequenced objects of
// its frame or of the canvas (pictures, text fields, video fragments, each in slot order). Captions
// on the canvas come last, one step each.
//
// An arrow appears at the first step at which both its ends are covered: an end attached to an
// object is covered once that object is shown; a free end once everything lying under it is shown
// (an end on bare canvas is covered from the start), so an arrow pointing at a picture appears
// with that picture, not earlier with its frame. Arrows never
// appear at step 0 while there is a later step: the start stays empty.
class RevealOrder {
public:
    RevealOrder() = default;
    explicit RevealOrder(const Outline& outline);

    // Number of steps, step 0 included (at least 1).
    int stepCount() const { return int(m_steps.size()); }
    int lastStep() const { return stepCount() - 1; }
    const RevealStep& step(int index) const;

    // The step at which an object appears; -1 for objects that do not belong to the outline.
    int stepOf(ObjectId id) const;
    bool isShownAt(ObjectId id, int step) const;
    // Every object shown at a step, in the order they appeared.
    std::vector<ObjectId> shownAt(int step) const;

private:
    void add(ObjectId lead, const QString* minimalText);
    void attach(ObjectId id, int step);

    std::vector<RevealStep> m_steps;
    std::unordered_map<ObjectId, int> m_stepOf;
};

}  // namespace velmar
