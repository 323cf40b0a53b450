// Painting the floating piece over the picture at any zoom.
#include "paint/paint_floating_piece.h"

#include "paint/core/paint_document.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace velmar::paint {

FloatingPieceView::FloatingPieceView(PaintDocument& document, QWidget* parent)
    : QWidget(parent), m_doc(document)
{
    setObjectName(QStringLiteral("Image7"));
    setCursor(Qt::SizeAllCursor);
    hide();
}

void FloatingPieceView::pieceReplaced()
{
    // Opaque placement paints every exposed pixel; a transparent piece lets Qt paint the picture
    // underneath first.
    setAttribute(Qt::WA_OpaquePaintEvent, !m_doc.pieceTransparent());
    update();
}

const QImage& FloatingPieceView::image()
{
    const QImage& piece = m_doc.piece();
    if (!m_doc.pieceTransparent())
        return piece;
    if (m_seeThroughKey != piece.cacheKey() || m_seeThroughColour != m_doc.transparentColour() ||
        m_seeThrough.isNull()) {
        m_seeThrough = piece.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QRgb clear = m_doc.transparentColour();
        for (int y = 0; y < m_seeThrough.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_seeThrough.scanLine(y));
            for (int x = 0; x < m_seeThrough.width(); ++x)
                if ((line[x] | 0xFF000000u) == clear)
                    line[x] = 0;
        }
        m_seeThroughKey = piece.cacheKey();
        m_seeThroughColour = clear;
    }
    return m_seeThrough;
}

void FloatingPieceView::paintEvent(QPaintEvent* event)
{
    if (!m_doc.pieceFloating())
        return;
    const QImage& piece = image();
    const int z = m_doc.zoomFactor();
    const QRect control =
        event->rect().translated(m_offset).intersected(QRect(QPoint(0, 0), piece.size() * z));
    if (control.isEmpty())
        return;
    const int x0 = control.left() / z, y0 = control.top() / z;
    const int x1 = control.right() / z, y1 = control.bottom() / z;
    const QRect source(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    const QRect target = QRect(x0 * z, y0 * z, source.width() * z, source.height() * z).translated(-m_offset);
    QPainter p(this);
    p.setClipRect(event->rect());
    if (z == 1)
        p.drawImage(target.topLeft(), piece, source);
    else
        p.drawImage(target, piece, source);
}

void FloatingPieceView::mousePressEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

void FloatingPieceView::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

void FloatingPieceView::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
}

}  // namespace velmar::paint
