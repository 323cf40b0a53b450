#include "canvas/alt_drop_gesture.h"

#include "canvas/selection_geometry.h"

namespace velmar {

int frameAt(const Outline& o, QPoint p)
{
    for (int k = o.count(ObjectKind::Frame); k >= 1; --k)
        if (o.frame(k).bounds.contains(p))
            return k;
    return 0;
}

AltDropGesture::AltDropGesture(GestureContext& context, const PointerInput& press, ObjectId id)
    : Gesture(context, press, 1, false), m_id(id)
{
}

void AltDropGesture::follow(const PointerInput&) { m_context.showDragCursor(m_id, true); }

void AltDropGesture::cancel() { m_context.showDragCursor(m_id, false); }

void AltDropGesture::finish(const PointerInput& in)
{
    m_context.showDragCursor(m_id, false);
    Outline& o = doc().outline;
    const ObjectRef ref = o.find(m_id);
    if (!ref.isValid())
        return;
    const int target = frameAt(o, in.pos);
    if (target == 0)
        return;
    QRect r = objectBounds(o, m_id);
    const QPoint drop = in.pos - o.frame(target).bounds.topLeft();
    r.moveTopLeft(QPoint(storableCoordinate(drop.x()), storableCoordinate(drop.y())));
    const quint8 number = o.parentFrameNumber(target);
    // Only kinds that may live in a frame move into one.
    const bool moved = withObject(o, ref, [&](auto& object) {
        if constexpr (HasParentFrame<std::decay_t<decltype(object)>>) {
            object.parentFrame = number;
            return true;
        } else {
            return false;
        }
    });
    if (!moved)
        return;
    setObjectBounds(o, m_id, r);
    m_context.syncView();
    m_context.redrawOverlays();
    m_context.handles().hideBlackSet();
    m_context.handles().hideBlueSet();
    m_context.recordStep(StepKind::HeaderOnly);
}

}  // namespace velmar
