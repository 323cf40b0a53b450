#include "canvas/arrow_end_gesture.h"

#include "model/arrow_attachment.h"

namespace velmar {

ArrowEndGesture::ArrowEndGesture(GestureContext& context, const PointerInput& press, bool startEnd)
    : Gesture(context, press, 0, true), m_startEnd(startEnd)
{
    const SelectionModel& handles = context.handles().model();
    m_from = startEnd ? handles.arrowStart : handles.arrowEnd;
}

void ArrowEndGesture::follow(const PointerInput& in)
{
    const QPoint at = m_from + travel(in);
    m_context.handles().moveArrowEnd(m_startEnd, at);
    // The object the end would be attached to if it were dropped here.
    const Outline& o = doc().outline;
    const ObjectId target = at == m_from ? 0 : attachableObjectIdAt(o, at);
    std::vector<ObjectId> targets;
    if (target)
        targets.push_back(target);
    if (targets != m_context.handles().model().attachTargets)
        m_context.handles().showAttachTargets(targets);
}

void ArrowEndGesture::cancel()
{
    m_context.handles().showAttachTargets({});
    m_context.handles().moveArrowEnd(m_startEnd, m_from);
}

void ArrowEndGesture::finish(const PointerInput&)
{
    HandleLayer& handles = m_context.handles();
    handles.showAttachTargets({});
    const int slot = doc().interaction.selectedArrow;
    if (slot < 1 || slot > doc().outline.count(ObjectKind::Arrow))
        return;
    const QPoint dropped = m_startEnd ? handles.model().arrowStart : handles.model().arrowEnd;
    // Put down where it was picked up, the end stays as it was, attached or not.
    const bool changed = dropped != m_from && dropArrowEnd(doc().outline, slot, m_startEnd, dropped);
    const ArrowObject& a = doc().outline.arrow(slot);
    // The handles stand at the ends the arrow really has (dragged far out, it stopped short).
    handles.moveArrowEnd(true, QPoint(a.x1, a.y1));
    handles.moveArrowEnd(false, QPoint(a.x2, a.y2));
    m_context.syncView();
    if (changed)
        m_context.recordStep(StepKind::HeaderOnly);
}

}  // namespace velmar
