#include "canvas/arrow_end_gesture.h"

namespace velmar {

ArrowEndGesture::ArrowEndGesture(GestureContext& context, const PointerInput& press, bool startEnd)
    : Gesture(context, press, 0, true), m_startEnd(startEnd)
{
    const SelectionModel& handles = context.handles().model();
    m_from = startEnd ? handles.arrowStart : handles.arrowEnd;
}

void ArrowEndGesture::follow(const PointerInput& in)
{
    m_context.handles().moveArrowEnd(m_startEnd, m_from + travel(in));
}

void ArrowEndGesture::cancel() { m_context.handles().moveArrowEnd(m_startEnd, m_from); }

void ArrowEndGesture::finish(const PointerInput&)
{
    const int slot = doc().interaction.selectedArrow;
    if (slot < 1 || slot > doc().outline.count(ObjectKind::Arrow))
        return;
    ArrowObject& a = doc().outline.arrow(slot);
    HandleLayer& handles = m_context.handles();
    const QPoint start = handles.model().arrowStart, end = handles.model().arrowEnd;
    a.x1 = storableCoordinate(start.x());
    a.y1 = storableCoordinate(start.y());
    a.x2 = storableCoordinate(end.x());
    a.y2 = storableCoordinate(end.y());
    // The handles stand at the ends the arrow really has (dragged far out, it stopped short).
    handles.moveArrowEnd(true, QPoint(a.x1, a.y1));
    handles.moveArrowEnd(false, QPoint(a.x2, a.y2));
    m_context.syncView();
    if ((m_startEnd ? QPoint(a.x1, a.y1) : QPoint(a.x2, a.y2)) != m_from)
        m_context.recordStep(StepKind::HeaderOnly);
}

}  // namespace velmar
