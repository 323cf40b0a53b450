// The editor's view commands: zoom steps that keep the tool, breaking off a stroke, and fitting
// an arriving picture into the picture being edited.
#include "paint/core/floating_piece.h"
#include "paint/core/view_steps.h"
#include "paint/core/zoom_mapping.h"
#include "paint/editor/paint_editor.h"

#include <algorithm>

namespace velmar::paint {

void PaintEditor::zoomKeepingTool(int row)
{
    row = std::clamp(row, 0, kZoomRowCount - 1);
    // The fit is taken again: the window may have changed since.
    if ((row == m_doc.zoomIndex() && row != kFitRow) || m_doc.buttonDown() || m_resize.active)
        return;
    velmar::paint::putDownPiece(m_doc);
    m_doc.setZoomIndex(row);
    ToolId keep = m_doc.currentTool();
    if (keep == ToolId::Text && !m_doc.zoom().isOne())
        keep = ToolId::Pencil;
    m_doc.setCurrentTool(keep);
    // The panels are refreshed as for a tool click: an open text box is written in, the eraser
    // square takes the new zoom.
    resetToolPanels();
    tool(keep)->chosen(*this);
    showSetting();
}

bool PaintEditor::cancelStroke()
{
    if (!m_doc.buttonDown())
        return false;
    PaintTool* t = m_pressedTool ? m_pressedTool : currentTool();
    if (!t || !t->cancel(*this))
        return false;
    m_pressedTool = nullptr;
    m_doc.setButtonDown(false);
    m_doc.setSprayTimerActive(false);
    return true;
}

bool PaintEditor::cancelResize()
{
    if (!m_resize.active)
        return false;
    m_resize.active = false;
    PaintOverlay& o = m_doc.mutableOverlay();
    PaintStatus& s = m_doc.mutableStatus();
    if (m_resize.canvas) {
        o = m_resize.saved;
        o.canvasHandlesVisible = true;
        s.pictureSize = PaintDocument::sizeText(m_doc.picture().width(), m_doc.picture().height());
    } else {
        o.frame = m_resize.start;
        o.handlesVisible = true;
        s.bandSize.clear();
    }
    m_doc.notifyOverlay();
    m_doc.notifyStatus();
    return true;
}

bool PaintEditor::pieceLargerThanPicture() const
{
    if (!m_doc.pieceFloating())
        return false;
    const QSize piece = m_doc.piece().size();
    const QSize picture = m_doc.picture().size();
    return piece.width() > picture.width() || piece.height() > picture.height();
}

void PaintEditor::fitPieceToPicture()
{
    if (!pieceLargerThanPicture())
        return;
    const QImage& piece = m_doc.piece();
    const QSize fitted = fitKeepingAspect(piece.size(), m_doc.picture().size());
    // A piece that arrived in a scrolled view lies at the view's corner: fitted, it moves as far
    // as needed to lie wholly on the picture, so that nothing of it is cut off when put down.
    const ZoomScale z = m_doc.zoom();
    const QSize room(z.toControl(m_doc.picture().width() - fitted.width()),
                     z.toControl(m_doc.picture().height() - fitted.height()));
    const QPoint at(std::clamp(m_doc.piecePos().x(), 0, room.width()),
                    std::clamp(m_doc.piecePos().y(), 0, room.height()));
    m_doc.setPiece(piece.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), at);
    PaintOverlay& o = m_doc.mutableOverlay();
    o.frame = m_doc.pieceRect();
    m_doc.notifyOverlay();
    applyPlacement(m_doc);
}

}  // namespace velmar::paint
