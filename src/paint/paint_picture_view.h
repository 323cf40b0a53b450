#pragma once

#include "paint/core/zoom_mapping.h"

#include <QWidget>

#include <functional>

class QPainter;

namespace velmar::paint {

class PaintDocument;

// Draws the part of `image`, shown zoom × zoom pixels per image pixel, that falls into the
// widget rectangle `exposed`, the widget's top-left corner lying at `offset` in the zoomed
// image. Below 1× each screen pixel shows the average of the image pixels it stands for. Returns the widget
// rectangle painted (empty when the image does not reach `exposed`).
QRect drawZoomed(QPainter& painter, const QImage& image, ZoomScale zoom, QPoint offset, const QRect& exposed);
// What a zoom below 1× shows in `control` (a rectangle of the zoomed image): screen pixel (x, y)
// is the average of image pixels x down / up up to (x + 1) down / up, and the same for y (at least
// one pixel each way, clipped to the image).
QImage sampleZoomedOut(const QImage& image, ZoomScale zoom, const QRect& control);

// A widget showing part of a zoomed image (the picture or the floating piece): only its visible
// part exists as a widget, `controlOffset` being where the widget's top-left corner lies in the
// zoomed image. Its mouse input goes to `onMouse`.
class ZoomedView : public QWidget {
    Q_OBJECT
public:
    QPoint controlOffset() const { return m_offset; }
    void setControlOffset(QPoint offset) { m_offset = offset; }

    // Mouse input goes to this handler, in the widget's own coordinates.
    std::function<void(QMouseEvent*)> onMouse;

protected:
    ZoomedView(PaintDocument& document, QWidget* parent);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    PaintDocument& m_doc;
    QPoint m_offset;
};

// The picture control (Image1), whose full size is the picture size times the zoom factor. It
// paints the picture pixels under the exposed rectangle as zoom × zoom blocks, straight from the
// picture, without building a stretched copy.
class PictureView : public ZoomedView {
    Q_OBJECT
public:
    explicit PictureView(PaintDocument& document, QWidget* parent = nullptr);

    // The pixel grid: lines between the picture pixels at zoom 6 and 8, off at first.
    bool pixelGrid() const { return m_pixelGrid; }
    void setPixelGrid(bool on);

    // Repaints the widget pixels that show these picture pixels.
    void updatePixels(const QRect& pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pixelGrid = false;
};

// The zoom factors from which the pixel grid is drawn: below them the lines would hide the picture.
inline constexpr int kPixelGridMinZoom = 6;
// Draws the pixel grid over `target` (widget pixels showing whole picture pixels, the widget's
// corner at `offset` in the zoomed picture): a line along the right and bottom edge of every
// zoom × zoom block, so the blocks keep their first pixels and the grid never shifts a pixel.
void drawPixelGrid(QPainter& painter, int zoom, QPoint offset, const QRect& target);

}  // namespace velmar::paint
