#pragma once

#include <QPainter>
#include <QPen>
#include <QRect>

#include <algorithm>

namespace velmar::paint {

// A solid pen of the given width with round ends, as the editor's strokes are drawn.
inline QPen strokePen(QRgb colour, int width)
{
    return QPen(QColor::fromRgb(colour), std::max(width, 1), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The pixels a line of the given width between a and b may touch.
inline QRect lineBounds(QPoint a, QPoint b, int width)
{
    const int pad = width / 2 + 2;
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())))
        .adjusted(-pad, -pad, pad, pad);
}

// A click's dot of the given width: a disc covering the same rows and columns a stroke of that
// width through the point covers (a pen's own point is a pixel narrower at odd widths).
inline void drawDot(QPainter& painter, QPoint at, QRgb colour, int width)
{
    width = std::max(width, 1);
    const int first = -(width / 2);
    const double centre = first + width / 2.0;  // from the point's pixel edge
    const double radius2 = width * width / 4.0;
    for (int dy = first; dy < first + width; ++dy) {
        const double y = dy + 0.5 - centre;
        int from = first;
        while (from < first + width && (from + 0.5 - centre) * (from + 0.5 - centre) + y * y > radius2)
            ++from;
        const int span = first + width - (from - first) - from;
        if (span > 0)
            painter.fillRect(QRect(at.x() + from, at.y() + dy, span, 1), QColor::fromRgb(colour));
    }
}

// Draws one line segment on the picture without anti-aliasing, within its bounds (the undo
// history kept them), and returns them.
inline QRect paintLine(QImage& picture, QPoint a, QPoint b, QRgb colour, int width)
{
    QPainter painter(&picture);
    painter.setClipRect(lineBounds(a, b, width));
    painter.setPen(strokePen(colour, width));
    if (a == b)
        drawDot(painter, a, colour, width);
    else
        painter.drawLine(a, b);
    return lineBounds(a, b, width);
}

}  // namespace velmar::paint
