#include "canvas/arrow_drag_gesture.h"

#include "model/arrow_attachment.h"

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
    // The objects its ends would be attached to if it were dropped here.
    const Outline& o = doc().outline;
    std::vector<ObjectId> targets;
    for (const QPoint end : {QPoint(a.x1, a.y1), QPoint(a.x2, a.y2)}) {
        const ObjectId id = attachableObjectIdAt(o, end);
        if (id && std::find(targets.begin(), targets.end(), id) == targets.end())
            targets.push_back(id);
    }
    if (targets != m_context.handles().model().attachTargets)
        m_context.handles().showAttachTargets(targets);
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
    m_context.handles().showAttachTargets({});
    if (m_shifted) {
        // Both ends are put down where they now are: on an object they are attached to it, on
        // bare canvas they are free.
        const int slot = doc().outline.findSlot(ObjectKind::Arrow, m_id);
        const ArrowObject& a = doc().outline.arrow(slot);
        const QPoint start(a.x1, a.y1), end(a.x2, a.y2);
        dropArrowEnd(doc().outline, slot, true, start);
        dropArrowEnd(doc().outline, slot, false, end);
        m_context.syncView();
        m_context.recordStep(StepKind::HeaderOnly);
    }
}

void ArrowDragGesture::cancel()
{
    if (ArrowObject* a = arrow(); a && !m_moved.isNull())
        shift(*a, -m_moved);
    m_context.handles().showAttachTargets({});
}

}  // namespace velmar
