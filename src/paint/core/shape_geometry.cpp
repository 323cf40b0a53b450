#include "paint/core/shape_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace velmar::paint {

namespace {
int sign(int v) { return (v > 0) - (v < 0); }
}  // namespace

int dragBearing(int dx, int dy)
{
    // Radians to degrees with π taken as 3.14, as all the editor's angle conversions do.
    return int(std::trunc(180.0 - std::atan2(double(dx), double(dy)) * 180.0 / 3.14));
}

QPoint constrainedLineEnd(QPoint start, QPoint pointer)
{
    const int dx = pointer.x() - start.x();
    const int dy = pointer.y() - start.y();
    const int bearing = dragBearing(dx, dy);
    const double r = std::trunc(std::sqrt(double(dx) * dx + double(dy) * dy));
    constexpr double pi = std::numbers::pi;
    auto diagonal = [&](double angle) {
        return QPoint(start.x() + int(std::trunc(std::sin(angle) * r)),
                      start.y() + int(std::trunc(std::cos(angle) * r)));
    };
    if (bearing <= 22 || bearing >= 338)
        return QPoint(start.x(), pointer.y());
    if (bearing <= 67)
        return diagonal(3 * pi / 4);
    if (bearing <= 114)
        return QPoint(pointer.x(), start.y());
    if (bearing <= 156)
        return diagonal(pi / 4);
    if (bearing <= 201)
        return QPoint(start.x(), pointer.y());
    if (bearing <= 246)
        return diagonal(7 * pi / 4);
    if (bearing <= 291)
        return QPoint(pointer.x(), start.y());
    // 292..337: up-left (336 and 337 join the up-left diagonal, their nearer direction).
    return diagonal(5 * pi / 4);
}

QPoint squareCorner(QPoint start, QPoint pointer)
{
    const int dx = pointer.x() - start.x();
    const int dy = pointer.y() - start.y();
    if (std::abs(dx) > std::abs(dy))
        return QPoint(pointer.x(), start.y() + std::abs(dx) * sign(dy));
    return QPoint(start.x() + std::abs(dy) * sign(dx), pointer.y());
}

CornerPair ellipseCorners(QPoint start, QPoint pointer, bool circle)
{
    if (circle) {
        const int d = std::max(std::abs(pointer.x() - start.x()), std::abs(pointer.y() - start.y()));
        return {QPoint(start.x() - d, start.y() - d), QPoint(start.x() + d, start.y() + d)};
    }
    return {pointer, QPoint(2 * start.x() - pointer.x(), 2 * start.y() - pointer.y())};
}

ArrowHead arrowHead(QPointF from, QPointF tip, int width, double share)
{
    const double w = std::max(width, 1);
    const QPointF along = tip - from;
    const double length = std::hypot(along.x(), along.y());
    if (length <= 0)
        return {tip, tip, tip, tip};
    // A head three line widths and more long, about twice as wide as long is broad.
    double headLength = 3 * w + 6;
    double halfWidth = w + 3;
    const double room = length * share;
    if (headLength > room) {
        halfWidth *= room / headLength;
        headLength = room;
    }
    const QPointF unit = along / length;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = tip - unit * headLength;
    return {tip, base + normal * halfWidth, base - normal * halfWidth, base};
}

int arrowHeadReach(int width)
{
    const int w = std::max(width, 1);
    return 3 * w + 6 + w + 3;
}

QRect figureRect(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
}

}  // namespace velmar::paint
