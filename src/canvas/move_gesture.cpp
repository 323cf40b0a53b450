#include "canvas/move_gesture.h"

#include "canvas/selection_geometry.h"

namespace velmar {

namespace {

int thresholdOf(MoveGesture::Grip grip)
{
    return grip == MoveGesture::Grip::TextBody ? MoveGesture::kTextFieldThreshold : 1;
}

}  // namespace

MoveGesture::MoveGesture(GestureContext& context, const PointerInput& press, ObjectId id, Grip grip)
    : Gesture(context, press, thresholdOf(grip), grip == Grip::BlackMoveBar || grip == Grip::BlueMoveBar), m_id(id),
      m_grip(grip), m_start(objectBounds(context.document().outline, id))
{
}

void MoveGesture::follow(const PointerInput& in)
{
    // The object stops at the edge of what an outline file can hold.
    setObjectBounds(doc().outline, m_id, storableRect(m_start.translated(travel(in))));
    m_context.placeWidget(m_id);
}

void MoveGesture::finish(const PointerInput&) { settle(true); }

void MoveGesture::cancel()
{
    setObjectBounds(doc().outline, m_id, m_start);
    m_context.placeWidget(m_id);
    settle(false);
}

void MoveGesture::settle(bool record)
{
    Outline& o = doc().outline;
    if (!o.find(m_id).isValid())
        return;  // gone while dragged (an undo): nothing to record or select
    const bool moved = objectBounds(o, m_id).topLeft() != m_start.topLeft();
    // Only a change is a step: a press on a title that does not move the frame selects it and
    // leaves the outline unmodified.
    if (record && moved)
        m_context.recordStep(StepKind::HeaderOnly);
    const InteractionState& state = doc().interaction;
    HandleLayer& handles = m_context.handles();
    if (movesByBar()) {
        // Both sets stand again around the selections.
        if (state.outerSelection)
            handles.showBlackSet(state.outerSelection);
        if (m_grip == Grip::BlueMoveBar && state.innerSelection)
            handles.showBlueSet(state.innerSelection);
        m_context.redrawOverlays();
    } else if (o.kindOf(m_id) == ObjectKind::Frame) {
        m_context.frameChosen(m_id, m_grip == Grip::Title);
    } else {
        m_context.objectChosen(m_id);
    }
}

}  // namespace velmar
