#include "canvas/arrow_drag_gesture.h"

#include <algorithm>

namespace velmar {

ArrowDragGesture::ArrowDragGesture(GestureContext& context, const PointerInput& press, ObjectId id)
    : Gesture(context, press, 0, false), m_id(id)
{
}

ArrowObject* ArrowDragGesture::arrow()
{
    const int slot = doc().outline.findSlot(ObjectKind::Arrow, m_id);
    if (slot == 0 || !doc().session.editMode)
        return nullptr;
    return &doc().outline.arrow(slot);
}

void ArrowDragGesture::shift(ArrowObject& a, QPoint offset)
{
    a.x1 += offset.x();
    a.x2 += offset.x();
    a.y1 += offset.y();
    a.y2 += offset.y();
    m_moved += offset;
    m_shifted = true;
    m_context.placeWidget(m_id);
    m_context.handles().showArrowHandles(QPoint(a.x1, a.y1), QPoint(a.x2, a.y2));
}

void ArrowDragGesture::follow(const PointerInput& in)
{
    ArrowObject* a = arrow();
    if (!a)
        return;
    QPoint offset = travel(in) - m_moved;
    offset.rx() =
        std::clamp(offset.x(), kMinCoordinate - std::min(a->x1, a->x2), kMaxCoordinate - std::max(a->x1, a->x2));
    offset.ry() =
        std::clamp(offset.y(), kMinCoordinate - std::min(a->y1, a->y2), kMaxCoordinate - std::max(a->y1, a->y2));
    if (!offset.isNull())
        shift(*a, offset);
}

void ArrowDragGesture::finish(const PointerInput& in)
{
    if (!arrow())
        return;
    follow(in);  // the release point is the last one
    if (m_shifted) {
        m_context.syncView();
        m_context.recordStep(StepKind::HeaderOnly);
    }
}

void ArrowDragGesture::cancel()
{
    if (ArrowObject* a = arrow(); a && !m_moved.isNull())
        shift(*a, -m_moved);
}

}  // namespace velmar
