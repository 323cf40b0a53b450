// The pixel grid drawn over the zoomed picture.
#include "paint/paint_picture_view.h"

#include <QPainter>

namespace velmar::paint {

namespace {
// Mid grey reads on both light and dark pictures.
const QColor kGridColour(128, 128, 128);
}  // namespace

void drawPixelGrid(QPainter& painter, int zoom, QPoint offset, const QRect& target)
{
    if (zoom < 2 || target.isEmpty())
        return;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGridColour);
    // Block edges in the widget's coordinates: the last column (row) of each zoom × zoom block.
    const auto firstEdge = [zoom](int from, int shift) {
        const int control = from + shift;                     // in the zoomed picture
        const int last = (control / zoom) * zoom + zoom - 1;  // last pixel of its block
        return last - shift;
    };
    for (int x = firstEdge(target.left(), offset.x()); x <= target.right(); x += zoom)
        painter.drawRect(QRect(x, target.top(), 1, target.height()));
    for (int y = firstEdge(target.top(), offset.y()); y <= target.bottom(); y += zoom)
        painter.drawRect(QRect(target.left(), y, target.width(), 1));
    painter.restore();
}

}  // namespace velmar::paint
