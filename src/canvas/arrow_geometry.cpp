#include "canvas/arrow_geometry.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

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

int clampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

double toRadians(double degrees)
{
    return degrees * kArrowPi / 180.0;
}

double toDegrees(double radians)
{
    return radians * 180.0 / kArrowPi;
}

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
    if (size.width() <= 0 || size.height() <= 0 || size.width() > kArrowImageMaxSide ||
        size.height() > kArrowImageMaxSide)
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
