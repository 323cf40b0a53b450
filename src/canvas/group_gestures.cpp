#include "canvas/group_gestures.h"

#include <algorithm>

namespace velmar {

RubberBandGesture::RubberBandGesture(GestureContext& context, const PointerInput& press, bool adding)
    : Gesture(context, press, 1, false), m_adding(adding)
{
}

QRect RubberBandGesture::band(const PointerInput& in) const { return QRect(m_press.pos, in.pos).normalized(); }

void RubberBandGesture::follow(const PointerInput& in) { m_context.showBand(band(in)); }

void RubberBandGesture::finish(const PointerInput& in)
{
    m_context.showBand(QRect());
    if (!following())
        return;  // a click on the empty canvas chooses nothing
    ObjectGroup& group = doc().interaction.group;
    const ObjectGroup enclosed = objectsEnclosed(doc().outline, band(in));
    if (!m_adding)
        group.clear();
    for (ObjectId id : enclosed)
        if (std::find(group.begin(), group.end(), id) == group.end())
            group.push_back(id);
    group = groupLeaders(doc().outline, group);
    m_context.showGroup();
}

void RubberBandGesture::cancel() { m_context.showBand(QRect()); }

GroupMoveGesture::GroupMoveGesture(GestureContext& context, const PointerInput& press)
    : Gesture(context, press, 1, false),
      m_start(capturePositions(context.document().outline, context.document().interaction.group))
{
}

void GroupMoveGesture::placeWidgets()
{
    for (const GroupPositions::Entry& entry : m_start.entries)
        m_context.placeWidget(entry.id);
    m_context.showGroup();
}

void GroupMoveGesture::follow(const PointerInput& in)
{
    placeMoved(doc().outline, m_start, travel(in));
    m_moved = m_moved || travel(in) != QPoint();
    placeWidgets();
}

void GroupMoveGesture::finish(const PointerInput& in)
{
    if (following()) {
        placeMoved(doc().outline, m_start, travel(in));
        if (travel(in) != QPoint())
            m_context.recordStep(StepKind::HeaderOnly);
    } else if (m_moved) {
        placeMoved(doc().outline, m_start, QPoint());
    }
    placeWidgets();
}

void GroupMoveGesture::cancel()
{
    placeMoved(doc().outline, m_start, QPoint());
    placeWidgets();
}

}  // namespace velmar
