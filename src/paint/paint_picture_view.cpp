// Painting the visible part of the edited picture at any zoom.
#include "paint/paint_picture_view.h"

#include "paint/core/paint_document.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace velmar::paint {

PictureView::PictureView(PaintDocument& document, QWidget* parent) : QWidget(parent), m_doc(document)
{
    setObjectName(QStringLiteral("Image1"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);  // every exposed pixel is painted from the picture
}

void PictureView::updatePixels(const QRect& pixels)
{
    const int z = m_doc.zoomFactor();
    const QRect control(pixels.left() * z, pixels.top() * z, pixels.width() * z, pixels.height() * z);
    const QRect r = control.translated(-m_offset).intersected(rect());
    if (!r.isEmpty())
        update(r);
}

void PictureView::paintEvent(QPaintEvent* event)
{
    const QImage& picture = m_doc.picture();
    const int z = m_doc.zoomFactor();
    QPainter p(this);
    // The exposed rectangle in control pixels, then the picture pixels it shows.
    const QRect control = event->rect().translated(m_offset).intersected(QRect(QPoint(0, 0), picture.size() * z));
    if (control.isEmpty()) {
        p.fillRect(event->rect(), QColor(192, 192, 192));
        return;
    }
    const int x0 = control.left() / z, y0 = control.top() / z;
    const int x1 = control.right() / z, y1 = control.bottom() / z;
    const QRect source(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    const QRect target = QRect(x0 * z, y0 * z, source.width() * z, source.height() * z).translated(-m_offset);
    if (z == 1)
        p.drawImage(target.topLeft(), picture, source);
    else
        p.drawImage(target, picture, source);  // nearest pixel: each picture pixel a z × z block
    // Whatever of the widget lies beyond the picture (a frame of a few pixels at most) is grey.
    const QRegion rest = QRegion(event->rect()) - QRegion(target);
    for (const QRect& r : rest)
        p.fillRect(r, QColor(192, 192, 192));
}

void PictureView::mousePressEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

void PictureView::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

void PictureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

}  // namespace velmar::paint
