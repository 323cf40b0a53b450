#include "model/object_group.h"

#include "model/object_kinds.h"

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

QRect arrowRect(const ArrowObject& a)
{
    return QRect(QPoint(std::min(a.x1, a.x2), std::min(a.y1, a.y2)),
                 QPoint(std::max(a.x1, a.x2), std::max(a.y1, a.y2)));
}

QRect storable(const QRect& r)
{
    const int left = storableCoordinate(r.left());
    const int top = storableCoordinate(r.top());
    const int width = std::min(r.width(), kMaxCoordinate);
    const int height = std::min(r.height(), kMaxCoordinate);
    return QRect(left, top, width, height);
}

// Half a value, rounded down (also below zero).
int halfDown(int value) { return value >= 0 ? value / 2 : -((1 - value) / 2); }

// Moves a leader so that its canvas box gets the given top-left corner.
void moveTo(Outline& outline, ObjectId id, QPoint topLeft)
{
    const QRect now = canvasRectOf(outline, id);
    if (now.isNull() && !outline.find(id).isValid())
        return;
    GroupPositions one = capturePositions(outline, {id});
    placeMoved(outline, one, topLeft - now.topLeft());
}

}  // namespace

QRect canvasRectOf(const Outline& outline, ObjectId id)
{
    const ObjectRef ref = outline.find(id);
    if (!ref.isValid())
        return {};
    return withObject(outline, ref, [&outline](const auto& object) -> QRect {
        using Object = std::decay_t<decltype(object)>;
        if constexpr (!HasBounds<Object>) {
            return arrowRect(object);
        } else if constexpr (HasParentFrame<Object>) {
            const int parent = object.parentFrame;
            if (parent >= 1 && parent <= outline.count(ObjectKind::Frame))
                return object.bounds.translated(outline.frame(parent).bounds.topLeft());
            return object.bounds;
        } else {
            return object.bounds;
        }
    });
}

ObjectGroup groupLeaders(const Outline& outline, const ObjectGroup& group)
{
    ObjectGroup leaders;
    for (ObjectId id : group) {
        if (!outline.find(id).isValid() || std::find(leaders.begin(), leaders.end(), id) != leaders.end())
            continue;
        const int parent = parentFrameOf(outline, id);
        if (parent >= 1 && parent <= outline.count(ObjectKind::Frame)
            && std::find(group.begin(), group.end(), outline.frame(parent).id) != group.end())
            continue;
        leaders.push_back(id);
    }
    return leaders;
}

QRect groupBounds(const Outline& outline, const ObjectGroup& group)
{
    QRect box;
    for (ObjectId id : groupLeaders(outline, group))
        box = box.united(canvasRectOf(outline, id));
    return box;
}

ObjectGroup objectsEnclosed(const Outline& outline, const QRect& band)
{
    ObjectGroup inside;
    const QRect area = band.normalized();
    forEachKind([&](auto tag) {
        using Object = typename decltype(tag)::Object;
        for (const Object& object : outline.objects<Object>())
            if (area.contains(canvasRectOf(outline, object.id)))
                inside.push_back(object.id);
    });
    // An object goes with its frame when both are inside.
    return groupLeaders(outline, inside);
}

ObjectGroup allTopObjects(const Outline& outline)
{
    ObjectGroup all;
    forEachKind([&](auto tag) {
        using Object = typename decltype(tag)::Object;
        for (const Object& object : outline.objects<Object>())
            all.push_back(object.id);
    });
    return groupLeaders(outline, all);
}

GroupPositions capturePositions(const Outline& outline, const ObjectGroup& group)
{
    GroupPositions positions;
    for (ObjectId id : groupLeaders(outline, group)) {
        GroupPositions::Entry entry;
        entry.id = id;
        const ObjectRef ref = outline.find(id);
        if (ref.kind == ObjectKind::Arrow) {
            const ArrowObject& a = outline.arrow(ref.slot);
            entry.start = QPoint(a.x1, a.y1);
            entry.end = QPoint(a.x2, a.y2);
        } else {
            entry.bounds = *boundsOf(outline, id);
        }
        positions.entries.push_back(entry);
    }
    return positions;
}

void placeMoved(Outline& outline, const GroupPositions& positions, QPoint delta)
{
    for (const GroupPositions::Entry& entry : positions.entries) {
        const ObjectRef ref = outline.find(entry.id);
        if (!ref.isValid())
            continue;
        if (ref.kind == ObjectKind::Arrow) {
            ArrowObject& a = outline.arrow(ref.slot);
            // Both ends stop together at the edge of what a file can hold, keeping the arrow's shape.
            const int dx = std::clamp(delta.x(), kMinCoordinate - std::min(entry.start.x(), entry.end.x()),
                                      kMaxCoordinate - std::max(entry.start.x(), entry.end.x()));
            const int dy = std::clamp(delta.y(), kMinCoordinate - std::min(entry.start.y(), entry.end.y()),
                                      kMaxCoordinate - std::max(entry.start.y(), entry.end.y()));
            a.x1 = entry.start.x() + dx;
            a.y1 = entry.start.y() + dy;
            a.x2 = entry.end.x() + dx;
            a.y2 = entry.end.y() + dy;
            continue;
        }
        const QRect moved = storable(entry.bounds.translated(delta));
        withObject(outline, ref, [&moved](auto& object) {
            if constexpr (HasBounds<std::decay_t<decltype(object)>>)
                object.bounds = moved;
        });
    }
}

bool moveGroup(Outline& outline, const ObjectGroup& group, QPoint delta)
{
    const GroupPositions before = capturePositions(outline, group);
    placeMoved(outline, before, delta);
    const GroupPositions after = capturePositions(outline, group);
    for (std::size_t i = 0; i < before.entries.size(); ++i) {
        const GroupPositions::Entry& a = before.entries[i];
        const GroupPositions::Entry& b = after.entries[i];
        if (a.bounds != b.bounds || a.start != b.start || a.end != b.end)
            return true;
    }
    return false;
}

bool alignGroup(Outline& outline, const ObjectGroup& group, GroupAlignment alignment)
{
    const ObjectGroup leaders = groupLeaders(outline, group);
    if (leaders.size() < 2)
        return false;
    const QRect box = groupBounds(outline, leaders);
    // The centre line, doubled so that it may fall between two pixels. It is moved to where the
    // widest (highest) object can be centred on whole pixels: every narrower object then lies
    // within that one, the group's box is that object's, and aligning again moves nothing.
    const auto centreLine = [&](bool across) {
        int widest = 0;
        for (ObjectId id : leaders) {
            const QRect r = canvasRectOf(outline, id);
            widest = std::max(widest, across ? r.width() : r.height());
        }
        const int doubled = across ? 2 * box.left() + box.width() : 2 * box.top() + box.height();
        return 2 * halfDown(doubled - widest) + widest;
    };
    const int centre = alignment == GroupAlignment::Centre   ? centreLine(true)
                       : alignment == GroupAlignment::Middle ? centreLine(false)
                                                             : 0;
    bool moved = false;
    for (ObjectId id : leaders) {
        const QRect r = canvasRectOf(outline, id);
        QPoint to = r.topLeft();
        switch (alignment) {
        case GroupAlignment::Left: to.setX(box.left()); break;
        case GroupAlignment::Right: to.setX(box.right() - r.width() + 1); break;
        case GroupAlignment::Centre: to.setX(halfDown(centre - r.width())); break;
        case GroupAlignment::Top: to.setY(box.top()); break;
        case GroupAlignment::Bottom: to.setY(box.bottom() - r.height() + 1); break;
        case GroupAlignment::Middle: to.setY(halfDown(centre - r.height())); break;
        }
        if (to != r.topLeft()) {
            moveTo(outline, id, to);
            moved = true;
        }
    }
    return moved;
}

bool distributeGroup(Outline& outline, const ObjectGroup& group, bool horizontally)
{
    ObjectGroup leaders = groupLeaders(outline, group);
    if (leaders.size() < 3)
        return false;
    const auto start = [&](ObjectId id) {
        const QRect r = canvasRectOf(outline, id);
        return horizontally ? r.left() : r.top();
    };
    const auto length = [&](ObjectId id) {
        const QRect r = canvasRectOf(outline, id);
        return horizontally ? r.width() : r.height();
    };
    std::stable_sort(leaders.begin(), leaders.end(), [&](ObjectId a, ObjectId b) { return start(a) < start(b); });
    const int first = start(leaders.front());
    const int last = start(leaders.back()) + length(leaders.back());
    qint64 occupied = 0;
    for (ObjectId id : leaders)
        occupied += length(id);
    // The gap may be negative when the objects overlap more than the box has room for: they then
    // overlap evenly.
    const double gap = double(last - first - occupied) / double(leaders.size() - 1);
    bool moved = false;
    double at = first;
    for (std::size_t i = 0; i < leaders.size(); ++i) {
        const ObjectId id = leaders[i];
        const int position = i + 1 == leaders.size() ? last - length(id) : int(std::lrint(at));
        const QRect r = canvasRectOf(outline, id);
        const QPoint to = horizontally ? QPoint(position, r.top()) : QPoint(r.left(), position);
        if (to != r.topLeft()) {
            moveTo(outline, id, to);
            moved = true;
        }
        at += length(id) + gap;
    }
    return moved;
}

int removeGroup(Outline& outline, const ObjectGroup& group)
{
    int removed = 0;
    for (ObjectId id : groupLeaders(outline, group)) {
        const ObjectRef ref = outline.find(id);
        if (!ref.isValid())
            continue;
        if (ref.kind == ObjectKind::Frame)
            outline.removeFrame(ref.slot);
        else
            outline.removeObject(ref.kind, ref.slot);
        ++removed;
    }
    return removed;
}

}  // namespace velmar
