#include "canvas/resize_gesture.h"

namespace velmar {

ResizeGesture::ResizeGesture(GestureContext& context, const PointerInput& press, ObjectId id, Edge edge, bool outer)
    : Gesture(context, press, 0, true), m_id(id), m_edge(edge), m_outer(outer),
      m_start(objectBounds(context.document().outline, id))
{
}

void ResizeGesture::resizeTo(const QRect& bounds)
{
    setObjectBounds(doc().outline, m_id, bounds);
    m_context.placeWidget(m_id);
    if (doc().outline.kindOf(m_id) == ObjectKind::Picture)
        m_context.syncView();  // the picture is drawn again at its new size
}

void ResizeGesture::follow(const PointerInput& in)
{
    // The object stops at the edge of what an outline file can hold.
    resizeTo(storableRect(resizedRect(m_start, m_edge, travel(in))));
}

void ResizeGesture::finish(const PointerInput&) { settle(true); }

void ResizeGesture::cancel()
{
    resizeTo(m_start);
    settle(false);
}

void ResizeGesture::settle(bool record)
{
    const Outline& o = doc().outline;
    if (!o.find(m_id).isValid())
        return;  // gone while dragged (an undo)
    if (record && objectBounds(o, m_id).size() != m_start.size())
        m_context.recordStep(StepKind::HeaderOnly);
    HandleLayer& handles = m_context.handles();
    if (m_outer) {
        handles.showBlackSet(m_id);
    } else {
        handles.showBlueSet(m_id);
        if (parentFrameOf(o, m_id) > 0 && doc().interaction.outerSelection)
            handles.showBlackSet(doc().interaction.outerSelection);
    }
    m_context.syncView();
    m_context.redrawOverlays();
}

}  // namespace velmar
