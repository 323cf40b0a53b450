#include "canvas/selection_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace velmar {

namespace {

// The handles in the order of the position tables below: north-west, north-east, south-east,
// south-west, north, east, south, west.
constexpr Edge kHandleOrder[8] = {Edge::TopLeft, Edge::TopRight, Edge::BottomRight, Edge::BottomLeft,
                                  Edge::Top,     Edge::Right,    Edge::Bottom,      Edge::Left};

// Handles inside the object's corners and edge middles, for an object on the canvas.
AdornmentLayout insideCorners(const QRect& b, SelectionSet set, QSize moveBar)
{
    const int l = b.x(), t = b.y(), w = b.width(), h = b.height();
    const QPoint positions[8] = {
        {l, t},
        {l + w - 9, t},
        {l + w - 9, t + h - 9},
        {l, t + h - 9},
        {l + w / 2 - 4, t},
        {l + w - 9, t + h / 2 - 4},
        {l + w / 2 - 4, t + h - 9},
        {l, t + h / 2 - 4},
    };
    AdornmentLayout layout;
    layout.set = set;
    layout.outline = b.adjusted(-2, -2, 2, 2);
    for (int i = 0; i < 8; ++i)
        layout.panels[kHandleOrder[i]] = QRect(positions[i], kHandleSize);
    layout.panels[Edge::Move] = QRect(QPoint(l, t - 15), moveBar);
    return layout;
}

}  // namespace

QRect AdornmentLayout::rect(Edge edge) const
{
    const auto it = panels.find(edge);
    return it == panels.end() ? QRect() : it->second;
}

AdornmentLayout blackSetAround(const QRect& bounds)
{
    return insideCorners(bounds, SelectionSet::Black, kBlackMoveBarSize);
}

AdornmentLayout blueSetOnCanvas(const QRect& bounds, ObjectKind kind)
{
    AdornmentLayout layout = insideCorners(bounds, SelectionSet::Blue, kBlueMoveBarSize);
    if (kind == ObjectKind::Picture)
        layout.outline = bounds;
    else if (kind == ObjectKind::TextField)
        layout.outline = bounds.adjusted(-1, -1, 1, 1);
    return layout;
}

AdornmentLayout blueSetInFrame(const QRect& b, QPoint frameTopLeft)
{
    const int x = frameTopLeft.x() + b.x(), y = frameTopLeft.y() + b.y();
    const int w = b.width(), h = b.height();
    const QPoint positions[8] = {
        {x - 3, y - 3},
        {x + w - 3, y - 3},
        {x + w - 3, y + h - 3},
        {x - 3, y + h - 3},
        {x + (w - 9) / 2 + 2, y - 3},
        {x + w - 3, y + (h - 9) / 2 + 2},
        {x + (w - 9) / 2 + 2, y + h - 3},
        {x - 3, y + (h - 9) / 2 + 2},
    };
    AdornmentLayout layout;
    layout.set = SelectionSet::Blue;
    layout.outline = b.adjusted(-1, -1, 1, 1);
    layout.outlineOrigin = frameTopLeft;
    for (int i = 0; i < 8; ++i)
        layout.panels[kHandleOrder[i]] = QRect(positions[i], kHandleSize);
    layout.panels[Edge::Move] = QRect(QPoint(x, y - 15), kBlueMoveBarSize);
    return layout;
}

QRect objectBounds(const Outline& o, ObjectId id)
{
    return withObject(o, o.find(id), [](const auto& object) -> QRect {
        if constexpr (HasBounds<std::decay_t<decltype(object)>>) {
            return object.bounds;
        } else {
            // An arrow's picture: the box of its two ends with 15 pixels around.
            return QRect(QPoint(std::min(object.x1, object.x2) - 15, std::min(object.y1, object.y2) - 15),
                         QSize(std::abs(object.x1 - object.x2) + 30, std::abs(object.y1 - object.y2) + 30));
        }
    });
}

std::optional<AdornmentLayout> blackSetFor(const Outline& o, ObjectId id)
{
    const ObjectRef ref = o.find(id);
    if (!ref.isValid() || ref.kind == ObjectKind::Arrow)
        return std::nullopt;
    return blackSetAround(objectBounds(o, id));
}

std::optional<AdornmentLayout> blueSetFor(const Outline& o, ObjectId id)
{
    const ObjectRef ref = o.find(id);
    if (!ref.isValid() || ref.kind == ObjectKind::Arrow)
        return std::nullopt;
    const int parent = parentFrameOf(o, id);
    if (parent >= 1 && parent <= o.count(ObjectKind::Frame)) {
        const QRect frame = o.frame(parent).bounds;
        AdornmentLayout layout = blueSetInFrame(objectBounds(o, id), frame.topLeft());
        layout.outlineClip = frame;
        return layout;
    }
    return blueSetOnCanvas(objectBounds(o, id), ref.kind);
}

QRect arrowStartHandle(QPoint start)
{
    return QRect(start - QPoint(kArrowHandleOffset, kArrowHandleOffset), kArrowStartHandleSize);
}

QRect arrowEndHandle(QPoint end)
{
    return QRect(end - QPoint(kArrowHandleOffset, kArrowHandleOffset), kArrowEndHandleSize);
}

QRect resizedRect(const QRect& start, Edge edge, QPoint delta)
{
    if (edge == Edge::Move)
        return start.translated(delta);

    // Work on the edges themselves (right and bottom exclusive) so that the fixed ones stay put.
    qint64 left = start.x(), top = start.y();
    qint64 right = left + std::max(start.width(), 1), bottom = top + std::max(start.height(), 1);
    const bool movesLeft = edge == Edge::Left || edge == Edge::TopLeft || edge == Edge::BottomLeft;
    const bool movesRight = edge == Edge::Right || edge == Edge::TopRight || edge == Edge::BottomRight;
    const bool movesTop = edge == Edge::Top || edge == Edge::TopLeft || edge == Edge::TopRight;
    const bool movesBottom = edge == Edge::Bottom || edge == Edge::BottomLeft || edge == Edge::BottomRight;
    if (movesLeft)
        left = std::min(left + delta.x(), right - 1);
    if (movesRight)
        right = std::max(right + delta.x(), left + 1);
    if (movesTop)
        top = std::min(top + delta.y(), bottom - 1);
    if (movesBottom)
        bottom = std::max(bottom + delta.y(), top + 1);
    const auto fit = [](qint64 v) { return int(std::clamp<qint64>(v, INT_MIN, INT_MAX)); };
    return QRect(fit(left), fit(top), fit(right - left), fit(bottom - top));
}

}  // namespace velmar
