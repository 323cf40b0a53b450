#pragma once

#include "paint/paint_picture_view.h"

#include <QImage>

namespace velmar::paint {

// The floating piece (Image7) over the picture. Like the picture control, only its visible part
// exists as a widget. It paints the exposed part straight from the piece, so dragging a large piece
// repaints only the rectangles it leaves and enters. In transparent placement the piece's
// transparent colour lets the picture underneath show through.
class FloatingPieceView : public ZoomedView {
    Q_OBJECT
public:
    explicit FloatingPieceView(PaintDocument& document, QWidget* parent = nullptr);

    // The piece or its placement changed: the next paint rebuilds what it draws from.
    void pieceReplaced();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& image();

    QImage m_seeThrough;  // the piece with its transparent colour made transparent
    qint64 m_seeThroughKey = 0;
    QRgb m_seeThroughColour = 0;
};

}  // namespace velmar::paint
