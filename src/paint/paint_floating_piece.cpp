// Painting the floating piece over the picture at any zoom.
#include "paint/paint_floating_piece.h"

#include "paint/core/paint_document.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace velmar::paint {

FloatingPieceView::FloatingPieceView(PaintDocument& document, QWidget* parent) : ZoomedView(document, parent)
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
    if (m_seeThroughKey != piece.cacheKey() || m_seeThroughColour != m_doc.transparentColour()
        || m_seeThrough.isNull()) {
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
    QPainter p(this);
    p.setClipRect(event->rect());
    drawZoomed(p, image(), m_doc.zoom(), m_offset, event->rect());
}

}  // namespace velmar::paint
