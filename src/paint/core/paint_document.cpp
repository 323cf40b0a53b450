#include "paint/core/paint_document.h"

#include "paint/core/zoom_mapping.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velmar::paint {

void ToolSizes::applyBounds()
{
    eraserSize = std::max(eraserSize, 1);
    pencilSize = std::clamp(pencilSize, 1, kPencilMax);
    spraySize = std::max(spraySize, 1);
    lineWidth = std::max(lineWidth, 1);
    shapeWidth = std::max(shapeWidth, 1);
}

PaintDocument::PaintDocument(QObject* parent)
    : QObject(parent), m_front(pixelFromColourValue(kInitialFrontColour)),
      m_back(pixelFromColourValue(kInitialBackColour))
{
    const auto& cells = defaultPalette();
    for (int i = 0; i < kPaletteSize; ++i)
        m_palette[std::size_t(i)] = cells[std::size_t(i)].colour;
    // A new editor shows a blank white 321 × 225 picture.
    m_picture = QImage(321, 225, QImage::Format_RGB32);
    m_picture.fill(m_back);
    m_status.pictureSize = sizeText(m_picture.width(), m_picture.height());
}

void PaintDocument::setPicture(const QImage& image, bool keepBuffer)
{
    // The picture may share its pixels with the caller (Qt copies on write); the editor gives it
    // its own copy on activation or at the press of the next drawing stroke.
    QImage old = std::move(m_picture);
    if (image.format() == QImage::Format_RGB32)
        m_picture = image;
    else
        m_picture = image.convertToFormat(QImage::Format_RGB32);
    if (keepBuffer && m_undo.index() == 0) {
        if (old.isDetached())
            m_sparePicture = std::move(old);
    } else {
        m_undo.replacing(std::move(old), !m_replacedByTransform);
    }
    m_status.pictureSize = sizeText(m_picture.width(), m_picture.height());
    emit pictureReplaced();
    emit statusChanged();
}

void PaintDocument::setTransformedPicture(const QImage& image)
{
    m_replacedByTransform = true;
    setPicture(image);
    m_replacedByTransform = false;
}

void PaintDocument::turnPicture(PictureTurn turn)
{
    m_undo.pushTurn(m_picture, turn);
    recorded();
    m_status.pictureSize = sizeText(m_picture.width(), m_picture.height());
    emit pictureReplaced();
    emit statusChanged();
}

void PaintDocument::restartHistory()
{
    // The picture replaced by the one opened serves as the buffer of ownPicture().
    QImage replaced = m_undo.takeReplaced();
    m_undo.clear();
    if (replaced.isDetached() && !m_sparePicture.isDetached())
        m_sparePicture = std::move(replaced);
    pushUndo();
}

void PaintDocument::ownPicture()
{
    if (m_picture.isDetached())
        return;
    // Memory used before is written to without the page faults of fresh memory, which cost more
    // than the copying itself on a large picture.
    const QImage& spare = m_sparePicture;
    if (spare.isDetached() && spare.size() == m_picture.size() && spare.format() == m_picture.format()
        && spare.bytesPerLine() == m_picture.bytesPerLine()) {
        std::memcpy(m_sparePicture.bits(), m_picture.constBits(), std::size_t(m_picture.sizeInBytes()));
        m_picture = std::move(m_sparePicture);
    } else {
        (void)m_picture.bits();
    }
    m_sparePicture = QImage();
}

QRect PaintDocument::rewritePicture(const std::function<std::vector<QRect>(const QImage& from, QImage& to)>& write)
{
    QImage next = m_undo.spareLike(m_picture);
    const std::vector<QRect> blocks = write(m_picture, next);
    if (blocks.empty()) {
        m_undo.giveSpare(std::move(next));
        return {};
    }
    QImage old = std::exchange(m_picture, std::move(next));
    QRect changed;
    qint64 area = 0;
    for (const QRect& r : blocks) {
        changed |= r;
        area += qint64(r.width()) * r.height();
    }
    if (area * 2 > qint64(m_picture.width()) * m_picture.height()) {
        m_undo.replacing(std::move(old), false);
    } else {
        for (const QRect& r : blocks)
            m_undo.keep(old, r, true);
        m_undo.giveSpare(std::move(old));
    }
    return changed;
}

QImage& PaintDocument::mutablePicture(const QRect& area)
{
    m_undo.keep(m_picture, area);
    return m_picture;
}

void PaintDocument::notifyChanged(const QRect& pixels)
{
    const QRect r = pixels.intersected(m_picture.rect());
    if (r.isEmpty())
        return;
    emit pictureChanged(r);
}

void PaintDocument::setFrontColour(QRgb c)
{
    m_front = c | 0xFF000000u;
    emit coloursChanged();
}

void PaintDocument::setBackColour(QRgb c)
{
    m_back = c | 0xFF000000u;
    emit coloursChanged();
}

void PaintDocument::setPaletteColour(int i, ColourValue c)
{
    if (i < 0 || i >= kPaletteSize)
        return;
    m_palette[std::size_t(i)] = c & 0x00FFFFFFu;
    emit paletteChanged(i);
}

void PaintDocument::setZoomIndex(int index)
{
    m_zoomIndex = std::clamp(index, 0, kZoomRowCount - 1);
    m_zoom = m_zoomIndex == kFitRow ? fitScale(m_picture.size(), m_viewSize) : zoomScaleForIndex(m_zoomIndex);
    emit zoomChanged();
}

void PaintDocument::setCurrentTool(ToolId tool)
{
    m_currentTool = tool;
    emit toolChanged();
}

void PaintDocument::setTransparentMode(int mode)
{
    m_transparentMode = mode == 1 ? 1 : 0;
    emit optionsChanged();
}

void PaintDocument::setFillStyle(FillStyle style)
{
    m_fillStyle = style;
    emit optionsChanged();
}

void PaintDocument::setArrowHeads(ArrowHeads heads)
{
    m_arrowHeads = std::clamp(heads, ArrowHeads::None, ArrowHeads::Both);
    emit optionsChanged();
}

void PaintDocument::setFillTolerance(int tolerance)
{
    m_fillTolerance = std::clamp(tolerance, 0, 500);
    emit optionsChanged();
}

void PaintDocument::recorded()
{
    m_pictureModified = true;
    m_changedSinceSaved = true;
    emit undoAvailabilityChanged();
}

void PaintDocument::pushUndo()
{
    m_undo.pushUndo(m_picture);
    recorded();
}

void PaintDocument::undoStep()
{
    m_undo.undo(m_picture);
    shownFromHistory();
}

void PaintDocument::redoStep()
{
    m_undo.redo(m_picture);
    shownFromHistory();
}

void PaintDocument::shownFromHistory()
{
    if (m_undo.index() >= 1)
        m_changedSinceSaved = true;
    m_status.pictureSize = sizeText(m_picture.width(), m_picture.height());
    emit pictureReplaced();
    emit statusChanged();
}

void PaintDocument::setSprayTimerActive(bool on)
{
    if (m_sprayTimer == on)
        return;
    m_sprayTimer = on;
    emit sprayTimerChanged(on);
}

void PaintDocument::setPiece(const QImage& piece, QPoint pos)
{
    const QRect before = m_pieceFloating ? pieceRect() : QRect();
    m_pieceFloating = !piece.isNull();
    if (!m_pieceFloating)
        m_piece = QImage();
    else if (piece.format() == QImage::Format_RGB32)
        m_piece = piece;
    else
        m_piece = piece.convertToFormat(QImage::Format_RGB32);
    m_piecePos = pos;
    emit pieceChanged(before);
}

void PaintDocument::movePiece(QPoint pos)
{
    if (pos == m_piecePos)
        return;
    const QRect before = m_pieceFloating ? pieceRect() : QRect();
    m_piecePos = pos;
    emit pieceChanged(before);
}

void PaintDocument::setPieceTransparency(bool transparent, QRgb colour)
{
    colour |= 0xFF000000u;
    if (transparent == m_pieceTransparent && colour == m_transparentColour)
        return;
    m_pieceTransparent = transparent;
    m_transparentColour = colour;
    emit pieceChanged(m_pieceFloating ? pieceRect() : QRect());
}

QString PaintDocument::sizeText(int w, int h) { return QStringLiteral("%1 x %2").arg(w).arg(h); }

QString PaintDocument::colourText(QRgb pixel)
{
    return QStringLiteral("R-%1 G-%2 B-%3").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

}  // namespace velmar::paint
