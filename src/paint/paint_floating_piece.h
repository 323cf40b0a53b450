#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace velmar::paint {

class PaintDocument;

// The floating piece (Image7) over the picture. Like the picture control, only its visible part
// exists as a widget: `controlOffset` is where the widget's top-left corner lies in the zoomed
// piece. It paints the exposed part straight from the piece, so dragging a large piece repaints
// only the rectangles it leaves and enters. In transparent placement the piece's transparent
// colour lets the picture underneath show through.
class FloatingPieceView : public QWidget {
    Q_OBJECT
public:
    explicit FloatingPieceView(PaintDocument& document, QWidget* parent = nullptr);

    void setControlOffset(QPoint offset) { m_offset = offset; }
    QPoint controlOffset() const { return m_offset; }
    // The piece or its placement changed: the next paint rebuilds what it draws from.
    void pieceReplaced();

    // Mouse input goes to this handler, in the widget's own coordinates.
    std::function<void(QMouseEvent*)> onMouse;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const QImage& image();

    PaintDocument& m_doc;
    QPoint m_offset;
    QImage m_seeThrough;  // the piece with its transparent colour made transparent
    qint64 m_seeThroughKey = 0;
    QRgb m_seeThroughColour = 0;
};

}  // namespace velmar::paint
