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
    if (shown.isNull() || source.isNull())
        return shown;
    // Each screen pixel shows the average of the picture pixels it stands for (premultiplied, so
    // transparent pixels weigh nothing): a one-pixel line zoomed out stays a fainter line instead
    // of breaking into dots or vanishing between the sampled rows.
    const auto span = [&zoom](int c, int limit) {
        const int from = std::clamp(zoom.toPicture(c), 0, limit - 1);
        return std::pair<int, int>(from, std::clamp(zoom.toPicture(c + 1), from + 1, limit));
    };
    const int width = control.width();
    std::vector<std::pair<int, int>> columns(std::size_t(width), {0, 0});
    for (int i = 0; i < width; ++i)
        columns[std::size_t(i)] = span(control.left() + i, source.width());
    // Sums of blue, green, red and alpha per screen pixel of the row. Up to 257 values of 255 fit
    // a 16-bit lane, so the pixels of a block's row are summed two channels at a time.
    constexpr int kLaneRoom = 257;
    std::vector<quint64> sums(std::size_t(width) * 4);
    for (int j = 0; j < control.height(); ++j) {
        const auto [top, bottom] = span(control.top() + j, source.height());
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = top; y < bottom; ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            quint64* sum = sums.data();
            for (int i = 0; i < width; ++i, sum += 4) {
                const auto [left, right] = columns[std::size_t(i)];
                if (right - left <= kLaneRoom) {
                    // Two channels a word: blue and red in one, green and alpha in the other.
                    quint32 blueRed = 0, greenAlpha = 0;
                    for (int x = left; x < right; ++x) {
                        blueRed += from[x] & 0x00ff00ffu;
                        greenAlpha += (from[x] >> 8) & 0x00ff00ffu;
                    }
                    sum[0] += blueRed & 0xffffu;
                    sum[1] += greenAlpha & 0xffffu;
                    sum[2] += blueRed >> 16;
                    sum[3] += greenAlpha >> 16;
                } else {
                    for (int x = left; x < right; ++x) {
                        sum[0] += from[x] & 0xff;
                        sum[1] += (from[x] >> 8) & 0xff;
                        sum[2] += (from[x] >> 16) & 0xff;
                        sum[3] += from[x] >> 24;
                    }
                }
            }
        }
        auto* to = reinterpret_cast<QRgb*>(shown.scanLine(j));
        const quint64* sum = sums.data();
        for (int i = 0; i < width; ++i, sum += 4) {
            const auto [left, right] = columns[std::size_t(i)];
            const quint64 n = quint64(bottom - top) * quint64(right - left);
            const auto mean = [n](quint64 total) { return quint32((total + n / 2) / n); };
            to[i] = (mean(sum[3]) << 24) | (mean(sum[2]) << 16) | (mean(sum[1]) << 8) | mean(sum[0]);
        }
    }
    return shown;
}

QRect drawZoomed(QPainter& painter, const QImage& image, ZoomScale scale, QPoint offset, const QRect& exposed)
{
    if (!scale.magnifies() && !scale.isOne()) {
        // Below 1×: only the screen pixels exposed are made, from the picture pixels they stand for.
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
