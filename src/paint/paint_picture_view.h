#pragma once

#include <QWidget>

#include <functional>

class QPainter;

namespace velmar::paint {

class PaintDocument;

// Draws the part of `image`, shown zoom × zoom pixels per image pixel, that falls into the
// widget rectangle `exposed`, the widget's top-left corner lying at `offset` in the zoomed
// image. Returns the widget rectangle painted (empty when the image does not reach `exposed`).
QRect drawZoomed(QPainter& painter, const QImage& image, int zoom, QPoint offset, const QRect& exposed);

// The picture control (Image1). Only its visible part exists as a widget: `controlOffset` says
// where the widget's top-left corner lies in the zoomed picture control, whose full size is the
// picture size times the zoom factor. It paints the picture pixels under the exposed rectangle
// as zoom × zoom blocks, straight from the picture, without building a stretched copy.
class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(PaintDocument& document, QWidget* parent = nullptr);

    QPoint controlOffset() const { return m_offset; }
    void setControlOffset(QPoint offset) { m_offset = offset; }

    // Repaints the widget pixels that show these picture pixels.
    void updatePixels(const QRect& pixels);

    // Mouse input goes to this handler, in the widget's own coordinates.
    std::function<void(QMouseEvent*)> onMouse;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PaintDocument& m_doc;
    QPoint m_offset;
};

}  // namespace velmar::paint
