#pragma once

#include <QPainter>
#include <QPen>
#include <QRect>

#include <algorithm>

namespace velmar::paint {

// A solid pen of the given width with round ends, as the editor's strokes are drawn.
inline QPen strokePen(QRgb colour, int width)
{
    return QPen(QColor::fromRgb(colour), std::max(width, 1), Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin);
}

// The pixels a line of the given width between a and b may touch.
inline QRect lineBounds(QPoint a, QPoint b, int width)
{
    const int pad = width / 2 + 2;
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())))
        .adjusted(-pad, -pad, pad, pad);
}

// Draws one line segment on the picture without anti-aliasing and returns its bounds.
inline QRect paintLine(QImage& picture, QPoint a, QPoint b, QRgb colour, int width)
{
    QPainter painter(&picture);
    painter.setPen(strokePen(colour, width));
    if (a == b)
        painter.drawPoint(a);
    else
        painter.drawLine(a, b);
    return lineBounds(a, b, width);
}

}  // namespace velmar::paint
