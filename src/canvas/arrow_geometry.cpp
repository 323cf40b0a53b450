#include "canvas/arrow_geometry.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace velmar {

namespace {

// Rounds to the nearest integer, halves to even, within the int range.
int roundToInt(double v)
{
    const double r = std::nearbyint(v);
    if (!(r > double(INT_MIN)))  // also catches NaN
        return INT_MIN;
    if (r >= double(INT_MAX))
        return INT_MAX;
    return int(r);
}

int clampToInt(qint64 v) { return int(std::clamp<qint64>(v, INT_MIN, INT_MAX)); }

double toRadians(double degrees) { return degrees * kArrowPi / 180.0; }

double toDegrees(double radians) { return radians * 180.0 / kArrowPi; }

}  // namespace

ArrowGeometry arrowGeometry(int x1, int y1, int x2, int y2)
{
    ArrowGeometry g;
    const qint64 dx = qint64(x1) - x2;
    const qint64 dy = qint64(y1) - y2;
    const qint64 left = std::min<qint64>(x1, x2) - kArrowMargin;
    const qint64 top = std::min<qint64>(y1, y2) - kArrowMargin;
    g.imageRect = QRect(clampToInt(left), clampToInt(top), clampToInt(std::llabs(dx) + 2 * kArrowMargin),
                        clampToInt(std::llabs(dy) + 2 * kArrowMargin));
    g.start = QPoint(clampToInt(x1 - left), clampToInt(y1 - top));

    g.length = std::sqrt(double(dx) * double(dx) + double(dy) * double(dy));
    g.headLength = std::clamp(int(std::min(g.length / 4.0, double(INT_MAX))), kArrowHeadMin, kArrowHeadMax);

    if (dx == 0 && dy == 0) {
        // No direction: the arrow is a dot at its single point.
        g.hasHead = false;
        g.angle = 0;
        g.endExact = QPointF(g.start);
        g.end = g.start;
        g.headEnd1 = g.headEnd2 = g.start;
        return g;
    }

    const double theta = std::asin(std::clamp(double(dx) / g.length, -1.0, 1.0));
    g.angle = y1 >= y2 ? toDegrees(theta) + 180.0 : -toDegrees(theta);

    const double a = toRadians(g.angle);
    g.endExact = QPointF(g.start.x() + g.length * std::sin(a), g.start.y() + g.length * std::cos(a));
    g.end = QPoint(roundToInt(g.endExact.x()), roundToInt(g.endExact.y()));

    const double b1 = toRadians(g.angle + kArrowHeadAngle - 180.0);
    const double b2 = toRadians(g.angle - kArrowHeadAngle - 180.0);
    g.headEnd1 = QPoint(roundToInt(g.endExact.x() + g.headLength * std::sin(b1)),
                        roundToInt(g.endExact.y() + g.headLength * std::cos(b1)));
    g.headEnd2 = QPoint(roundToInt(g.endExact.x() + g.headLength * std::sin(b2)),
                        roundToInt(g.endExact.y() + g.headLength * std::cos(b2)));
    return g;
}

QImage renderArrow(const ArrowGeometry& g, int penWidth, ColourValue colour)
{
    const QSize size = g.imageRect.size();
    if (size.width() <= 0 || size.height() <= 0 || size.width() > kArrowImageMaxSide
        || size.height() > kArrowImageMaxSide)
        return QImage();

    QImage image(size, QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    // The background stays transparent: only what the pen draws is seen, even a white arrow.
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawArrow(painter, g, penWidth, colour);
    painter.end();
    return image;
}

namespace {

// A closed interval of x, empty when low > high.
struct Span {
    double low = 1;
    double high = 0;
    bool empty() const { return low > high; }
    void take(double a, double b)
    {
        if (a > b)
            std::swap(a, b);
        low = empty() ? a : std::min(low, a);
        high = empty() ? b : std::max(high, b);
    }
};

// Where the row at height y crosses the disc of radius r around c.
void discOnRow(Span& span, QPointF c, double r, double y)
{
    const double dy = y - c.y();
    if (std::abs(dy) <= r) {
        const double half = std::sqrt(r * r - dy * dy);
        span.take(c.x() - half, c.x() + half);
    }
}

// Where the row at height y crosses the points within r of the segment a–b: a capsule, which is
// convex, so its crossing is the hull of the crossings of its two end discs and its body.
void capsuleOnRow(Span& span, QPointF a, QPointF b, double r, double y)
{
    discOnRow(span, a, r, y);
    discOnRow(span, b, r, y);
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double squared = dx * dx + dy * dy;
    if (squared == 0)
        return;
    // The body: 0 <= (p - a)·d <= |d|² and |(p - a)×d| <= r|d|, both linear in x on the row.
    double low = -1e18, high = 1e18;
    const auto within = [&](double slope, double offset, double from, double to) {
        if (slope == 0) {
            if (offset < from || offset > to)
                low = 1, high = 0;
            return;
        }
        double x1 = (from - offset) / slope, x2 = (to - offset) / slope;
        if (x1 > x2)
            std::swap(x1, x2);
        low = std::max(low, x1);
        high = std::min(high, x2);
    };
    const double ry = y - a.y();
    within(dx, -a.x() * dx + ry * dy, 0, squared);
    within(dy, -a.x() * dy - ry * dx, -r * std::sqrt(squared), r * std::sqrt(squared));
    if (low <= high)
        span.take(low, high);
}

}  // namespace

QRegion arrowHitRegion(const ArrowGeometry& g)
{
    const QSize size = g.imageRect.size();
    if (size.width() <= 0 || size.height() <= 0 || size.width() > kArrowImageMaxSide
        || size.height() > kArrowImageMaxSide)
        return QRegion();
    // The widest pen's strokes with a pixel to spare, worked out row by row rather than drawn:
    // the zoom moves every arrow, and drawing a wide pen's round ends into an image and reading
    // it back cost more than all the rest of a zoom step.
    const double r = kArrowPenMax / 2.0 + 1.0;
    std::vector<std::pair<QPointF, QPointF>> strokes;
    if (g.hasHead)
        strokes = {{g.start, g.end}, {g.end, g.headEnd1}, {g.end, g.headEnd2}};
    else
        strokes = {{g.start, g.start}};
    const int top =
        std::max(0, int(std::floor(std::min({g.start.y(), g.end.y(), g.headEnd1.y(), g.headEnd2.y()}) - r)));
    const int bottom = std::min(size.height() - 1,
                                int(std::ceil(std::max({g.start.y(), g.end.y(), g.headEnd1.y(), g.headEnd2.y()}) + r)));
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> row, previous;
    int bandTop = top;
    const auto closeBand = [&](int end) {
        for (const auto& [from, to] : previous)
            rects.emplace_back(QPoint(from, bandTop), QPoint(to, end));
    };
    for (int y = top; y <= bottom + 1; ++y) {
        row.clear();
        if (y <= bottom) {
            for (const auto& [a, b] : strokes) {
                Span span;
                capsuleOnRow(span, a, b, r, y);
                if (span.empty())
                    continue;
                const int from = std::max(0, int(std::ceil(span.low)));
                const int to = std::min(size.width() - 1, int(std::floor(span.high)));
                if (from <= to)
                    row.emplace_back(from, to);
            }
            // The strokes' pieces of one row, in order and joined where they touch, in place.
            std::sort(row.begin(), row.end());
            std::size_t joined = 0;
            for (const auto& piece : row) {
                if (joined > 0 && piece.first <= row[joined - 1].second + 1)
                    row[joined - 1].second = std::max(row[joined - 1].second, piece.second);
                else
                    row[joined++] = piece;
            }
            row.resize(joined);
        }
        // Rows alike make one band of rectangles, as a region keeps them.
        if (row != previous) {
            closeBand(y - 1);
            previous = row;
            bandTop = y;
        }
    }
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), int(rects.size()));
    return region;
}

void drawArrow(QPainter& painter, const ArrowGeometry& g, int penWidth, ColourValue colour)
{
    // A wide pen ends and joins its strokes in half circles, like the pens arrows were drawn
    // with; a 1-pixel pen is a plain pixel line either way.
    QPen pen(toQColor(colour), std::clamp(penWidth, kArrowPenMin, kArrowPenMax), Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    painter.setPen(pen);
    if (!g.hasHead) {
        painter.drawPoint(g.start);
        return;
    }
    painter.drawLine(g.start, g.end);
    painter.drawLine(g.end, g.headEnd1);
    painter.drawLine(g.end, g.headEnd2);
}

ArrowPicture placeArrow(int x1, int y1, int x2, int y2, int penWidth, ColourValue colour)
{
    ArrowPicture picture;
    picture.geometry = arrowGeometry(x1, y1, x2, y2);
    picture.image = renderArrow(picture.geometry, penWidth, colour);
    return picture;
}

}  // namespace velmar
