#include "paint/core/floating_piece.h"

#include "paint/core/paint_document.h"

#include <algorithm>
#include <cstring>

namespace velmar::paint {

QRect normalisedFrame(const QRect& frame)
{
    int left = frame.left(), top = frame.top(), width = frame.width(), height = frame.height();
    if (width < 0) {
        left += width;
        width = -width;
    }
    if (height < 0) {
        top += height;
        height = -height;
    }
    return {left, top, width, height};
}

void liftSelection(PaintDocument& doc)
{
    const ZoomScale z = doc.zoom();
    const QRect frame = normalisedFrame(doc.overlay().frame);
    const QPoint from(z.edgeToPicture(frame.left()), z.edgeToPicture(frame.top()));
    const QPoint to(z.edgeToPicture(frame.left() + frame.width()), z.edgeToPicture(frame.top() + frame.height()));
    liftPixels(doc, QRect(from, QSize(to.x() - from.x(), to.y() - from.y())), frame.topLeft());
}

void liftPixels(PaintDocument& doc, const QRect& source, QPoint at)
{
    QImage piece(source.size(), QImage::Format_RGB32);
    piece.fill(doc.backColour());
    const QRect inside = source.intersected(doc.picture().rect());
    if (!inside.isEmpty()) {
        QImage& picture = doc.mutablePicture(inside);
        const std::size_t bytes = std::size_t(inside.width()) * 4;
        const int dx = inside.left() - source.left(), dy = inside.top() - source.top();
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y)) + inside.left();
            std::memcpy(piece.scanLine(y - inside.top() + dy) + dx * 4, row, bytes);
            std::fill(row, row + inside.width(), doc.backColour());
        }
        doc.notifyChanged(inside);
    }
    doc.setPiece(piece, at);
    applyPlacement(doc);
}

QRect pieceTarget(const QImage& picture, const PaintDocument& doc)
{
    if (!doc.pieceFloating())
        return {};
    const ZoomScale z = doc.zoom();
    const QPoint at(z.edgeToPicture(doc.piecePos().x()), z.edgeToPicture(doc.piecePos().y()));
    return QRect(at, doc.piece().size()).intersected(picture.rect());
}

QRect composePiece(QImage& picture, const PaintDocument& doc)
{
    if (!doc.pieceFloating())
        return {};
    const ZoomScale z = doc.zoom();
    const QImage& piece = doc.piece();
    const QPoint at(z.edgeToPicture(doc.piecePos().x()), z.edgeToPicture(doc.piecePos().y()));
    const QRect target = pieceTarget(picture, doc);
    if (target.isEmpty())
        return target;
    const bool transparent = doc.pieceTransparent();
    const QRgb clear = doc.transparentColour();
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(piece.constScanLine(y - at.y())) + (target.left() - at.x());
        auto* dst = reinterpret_cast<QRgb*>(picture.scanLine(y)) + target.left();
        if (!transparent) {
            std::memcpy(dst, src, std::size_t(target.width()) * 4);
            continue;
        }
        for (int x = 0; x < target.width(); ++x)
            if ((src[x] | 0xFF000000u) != clear)
                dst[x] = src[x];
    }
    return target;
}

QImage pictureAsShown(const PaintDocument& doc)
{
    if (!doc.pieceFloating())
        return doc.picture();
    QImage shown = doc.picture().copy();
    composePiece(shown, doc);
    return shown;
}

bool putDownPiece(PaintDocument& doc)
{
    if (!doc.pieceFloating())
        return false;
    const QRect target = composePiece(doc.mutablePicture(pieceTarget(doc.picture(), doc)), doc);
    discardPiece(doc);
    doc.notifyChanged(target);
    // A piece put back where it was lifted from, unchanged, leaves the picture as the history
    // has it: no step that changes nothing.
    if (doc.differsFromRecorded())
        doc.pushUndo();
    return true;
}

void discardPiece(PaintDocument& doc)
{
    doc.dropPiece();
    PaintOverlay& o = doc.mutableOverlay();
    o.frameVisible = false;
    o.handlesVisible = false;
    doc.notifyOverlay();
}

void applyPlacement(PaintDocument& doc) { doc.setPieceTransparency(doc.transparentMode() == 1, doc.backColour()); }

}  // namespace velmar::paint
