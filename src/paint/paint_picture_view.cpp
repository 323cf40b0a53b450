// Painting the visible part of the edited picture at any zoom.
#include "paint/paint_picture_view.h"

#include "paint/core/paint_document.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace velmar::paint {

ZoomedView::ZoomedView(PaintDocument& document, QWidget* parent) : QWidget(parent), m_doc(document) {}

PictureView::PictureView(PaintDocument& document, QWidget* parent) : ZoomedView(document, parent)
{
    setObjectName(QStringLiteral("Image1"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);  // every exposed pixel is painted from the picture
}

void PictureView::setPixelGrid(bool on)
{
    if (on == m_pixelGrid)
        return;
    m_pixelGrid = on;
    update();
}

void PictureView::updatePixels(const QRect& pixels)
{
    const QRect control = m_doc.zoom().controlRect(pixels);
    const QRect r = control.translated(-m_offset).intersected(rect());
    if (!r.isEmpty())
        update(r);
}

QImage sampleZoomedOut(const QImage& image, ZoomScale zoom, const QRect& control)
{
    QImage shown(control.size(),
                 image.format() == QImage::Format_RGB32 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    const QImage source = image.format() == shown.format() ? image : image.convertToFormat(shown.format());
    std::vector<int> columns(std::size_t(control.width()));
    for (int i = 0; i < control.width(); ++i)
        columns[std::size_t(i)] = std::min(zoom.toPicture(control.left() + i), source.width() - 1);
    for (int j = 0; j < control.height(); ++j) {
        const int y = std::min(zoom.toPicture(control.top() + j), source.height() - 1);
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(shown.scanLine(j));
        for (int i = 0; i < control.width(); ++i)
            to[i] = from[columns[std::size_t(i)]];
    }
    return shown;
}

QRect drawZoomed(QPainter& painter, const QImage& image, ZoomScale scale, QPoint offset, const QRect& exposed)
{
    if (!scale.magnifies() && !scale.isOne()) {
        // Below 1×: only the screen pixels exposed are looked up, whatever the picture's size.
        const QRect control =
            exposed.translated(offset).intersected(QRect(QPoint(0, 0), scale.toControl(image.size())));
        if (control.isEmpty())
            return {};
        painter.drawImage(control.topLeft() - offset, sampleZoomedOut(image, scale, control));
        return control.translated(-offset);
    }
    const int zoom = scale.blockSide();
    // The exposed rectangle in zoomed-image pixels, then the image pixels it shows.
    const QRect control = exposed.translated(offset).intersected(QRect(QPoint(0, 0), image.size() * zoom));
    if (control.isEmpty())
        return {};
    const int x0 = control.left() / zoom, y0 = control.top() / zoom;
    const int x1 = control.right() / zoom, y1 = control.bottom() / zoom;
    const QRect source(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    const QRect target = QRect(x0 * zoom, y0 * zoom, source.width() * zoom, source.height() * zoom).translated(-offset);
    if (zoom == 1)
        painter.drawImage(target.topLeft(), image, source);
    else
        painter.drawImage(target, image, source);  // nearest pixel: each image pixel a zoom × zoom block
    return target;
}

void PictureView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect target = drawZoomed(p, m_doc.picture(), m_doc.zoom(), m_offset, event->rect());
    if (m_pixelGrid && m_doc.zoomFactor() >= kPixelGridMinZoom && !target.isEmpty())
        drawPixelGrid(p, m_doc.zoomFactor(), m_offset, target.intersected(event->rect()));
    // Whatever of the widget lies beyond the picture (a frame of a few pixels at most) is grey.
    const QRegion rest = QRegion(event->rect()) - QRegion(target);
    for (const QRect& r : rest)
        p.fillRect(r, QColor(192, 192, 192));
}

void ZoomedView::mousePressEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

void ZoomedView::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

void ZoomedView::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

}  // namespace velmar::paint
