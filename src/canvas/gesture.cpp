#include "canvas/gesture.h"

#include "model/object_kinds.h"

#include <algorithm>

namespace velmar {

Gesture::Gesture(GestureContext& context, const PointerInput& press, int threshold, bool followNow)
    : m_context(context), m_press(press), m_threshold(threshold), m_following(followNow)
{
}

bool Gesture::move(const PointerInput& in)
{
    if (!m_following) {
        if (travel(in).manhattanLength() < m_threshold)
            return false;
        m_following = true;
    }
    follow(in);
    return true;
}

bool Gesture::release(const PointerInput& in)
{
    // Whether the release is swallowed is decided before the last move it may carry.
    const bool took = m_following;
    finish(in);
    return took;
}

QRect storableRect(const QRect& r)
{
    return QRect(storableCoordinate(r.left()), storableCoordinate(r.top()), std::min(r.width(), kMaxCoordinate),
                 std::min(r.height(), kMaxCoordinate));
}

void setObjectBounds(Outline& o, ObjectId id, const QRect& r)
{
    withObject(o, o.find(id), [&](auto& object) {
        if constexpr (HasBounds<std::decay_t<decltype(object)>>)
            object.bounds = r;
    });
}

}  // namespace velmar
