// The "Рисунок" menu: crop, turns and resize of the picture or of the floating piece, and the
// turns of a floating piece kept for undo while it floats.
#include "paint/core/floating_piece.h"
#include "paint/editor/paint_editor.h"

namespace velmar::paint {

bool PaintEditor::pieceHistoryLive() const { return m_doc.pieceFloating() && m_doc.piece().cacheKey() == m_pieceKey; }

bool PaintEditor::undoAvailable() const
{
    return (pieceHistoryLive() && !m_pieceUndo.empty()) || m_doc.history().undoEnabled();
}

bool PaintEditor::redoAvailable() const
{
    return (pieceHistoryLive() && !m_pieceRedo.empty()) || m_doc.history().redoEnabled();
}

void PaintEditor::showPieceState(const PieceState& state)
{
    m_doc.setPiece(state.piece, state.pos);
    m_pieceKey = m_doc.piece().cacheKey();
    PaintOverlay& o = m_doc.mutableOverlay();
    o.frame = m_doc.pieceRect();
    o.frameVisible = true;
    o.handlesVisible = true;
    m_doc.notifyOverlay();
    applyPlacement(m_doc);
    m_doc.mutableStatus().bandSize = PaintDocument::sizeText(state.piece.width(), state.piece.height());
    m_doc.notifyStatus();
    emit m_doc.undoAvailabilityChanged();
}

void PaintEditor::changePiece(const QImage& piece)
{
    // The piece's turns belong to it alone: another piece starts a history of its own.
    if (!pieceHistoryLive()) {
        m_pieceUndo.clear();
        m_pieceRedo.clear();
    }
    m_pieceUndo.push_back({m_doc.piece(), m_doc.piecePos()});
    m_pieceRedo.clear();
    showPieceState({piece, m_doc.piecePos()});
}

void PaintEditor::replaceWholePicture(const QImage* picture, PictureTurn turn)
{
    m_doc.setButtonDown(false);
    m_doc.setSprayTimerActive(false);
    // An open text box goes into the picture first, as a state of its own.
    commitText();
    PaintOverlay& o = m_doc.mutableOverlay();
    o.frameVisible = false;
    o.handlesVisible = false;
    o.canvasHandlesVisible = true;
    m_doc.setCanvasBrush(m_doc.backColour());
    if (picture) {
        m_doc.setTransformedPicture(*picture);
        m_doc.notifyOverlay();
        m_doc.pushUndo();
    } else {
        // Turned where it lies: one step that keeps no pixels.
        m_doc.turnPicture(turn);
        m_doc.notifyOverlay();
    }
    // A picture shown fitted to the window stays fitted at its new size.
    if (m_doc.zoomIndex() == kFitRow)
        m_doc.setZoomIndex(kFitRow);
}

void PaintEditor::cropToSelection()
{
    if (!canCrop() || m_doc.buttonDown() || m_resize.active)
        return;
    // The piece, as it floats (moved, stretched, turned), is the new picture; the history's state
    // before it was lifted is the one undo returns to.
    const QImage piece = m_doc.piece();
    discardPiece(m_doc);
    replaceWholePicture(&piece);
}

void PaintEditor::turn(PictureTurn how)
{
    if (m_doc.buttonDown() || m_resize.active)
        return;
    if (m_doc.pieceFloating())
        changePiece(turned(m_doc.piece(), how));
    else
        replaceWholePicture(nullptr, how);
}

QSize PaintEditor::resizeSubject() const
{
    return m_doc.pieceFloating() ? m_doc.piece().size() : m_doc.picture().size();
}

void PaintEditor::resizeTo(QSize size)
{
    if (m_doc.buttonDown() || m_resize.active || size.isEmpty() || size == resizeSubject())
        return;
    if (m_doc.pieceFloating())
        changePiece(resampled(m_doc.piece(), size));
    else {
        // Written into the memory of a picture the history no longer needs where there is one.
        const QImage picture = resampled(m_doc.picture(), size, &m_doc.history().spareBuffer());
        replaceWholePicture(&picture);
    }
}

}  // namespace velmar::paint
