#include "paint/editor/paint_editor.h"

#include "paint/core/floating_piece.h"
#include "paint/core/zoom_mapping.h"
#include "paint/tools/text_tool.h"

#include <QCoreApplication>

namespace velmar::paint {

PaintEditor::PaintEditor(PaintDocument& document, PaintHost* host) : m_doc(document), m_host(host)
{
    for (ToolId id : allTools())
        m_tools.emplace(id, createTool(id));
}

PaintEditor::~PaintEditor() = default;

PaintTool* PaintEditor::tool(ToolId id) const
{
    const auto it = m_tools.find(id);
    return it == m_tools.end() ? nullptr : it->second.get();
}

void PaintEditor::openPicture(const QImage& picture)
{
    // The buffer of the picture edited before serves the copy activate() takes of this one.
    m_doc.setPicture(picture.isNull() ? QImage(1, 1, QImage::Format_RGB32) : picture, true);
}

void PaintEditor::activate()
{
    m_doc.restartHistory();
    // The picture may still share its pixels with the outline's bitmap: it takes its own copy
    // now rather than at the press of the first stroke. The history keeps no copy (only the
    // tiles strokes touch), so opening copies the picture once and the first click nothing.
    m_doc.ownPicture();
    m_doc.setPictureModified(false);
    m_doc.setChangedSinceSaved(false);
    m_doc.setButtonDown(false);
    m_stroke.erasing = false;
    m_doc.setSprayTimerActive(false);
    m_doc.setZoomIndex(0);
    m_doc.setCurrentTool(ToolId::Pencil);
    resetToolPanels();
    showSetting();
}

QImage PaintEditor::close()
{
    m_doc.setButtonDown(false);
    m_doc.setSprayTimerActive(false);
    resetToolPanels();
    return m_doc.picture();
}

void PaintEditor::chooseTool(ToolId tool)
{
    if (!this->tool(tool))
        return;
    // Text is written 1:1 only.
    if (tool == ToolId::Text && !m_doc.zoom().isOne())
        return;
    // The zoom tool returns to the tool in use; a one-shot tool (the colour picker) stands for
    // the tool it would have returned to.
    const bool currentIsOneShot =
        this->tool(m_doc.currentTool()) && this->tool(m_doc.currentTool())->capabilities().returnsToPreviousTool;
    if (tool == ToolId::Zoom && m_doc.currentTool() != ToolId::Zoom)
        m_doc.setToolBeforeZoom(currentIsOneShot ? m_doc.previousTool() : m_doc.currentTool());
    if (this->tool(tool)->capabilities().returnsToPreviousTool && m_doc.currentTool() != tool)
        m_doc.setPreviousTool(m_doc.currentTool());
    m_doc.setCurrentTool(tool);
    resetToolPanels();
    this->tool(tool)->chosen(*this);
    showSetting();
}

void PaintEditor::chooseZoom(int row)
{
    // A floating piece lies at zoomed coordinates: it goes into the picture before they change.
    velmar::paint::putDownPiece(m_doc);
    m_doc.setZoomIndex(row);
    ToolId back = m_doc.toolBeforeZoom();
    if (back == ToolId::Text || back == ToolId::Zoom || !tool(back))
        back = ToolId::Pencil;
    // Returning runs the tool's button as a click would, so the eraser square takes the new zoom.
    m_doc.setCurrentTool(back);
    resetToolPanels();
    tool(back)->chosen(*this);
    showSetting();
}

void PaintEditor::resetToolPanels()
{
    PaintStatus& s = m_doc.mutableStatus();
    s.settingName.clear();
    s.settingValue.clear();
    s.bandSize.clear();
    PaintOverlay& o = m_doc.mutableOverlay();
    o.frameVisible = false;
    o.eraserVisible = false;
    o.handlesVisible = false;
    velmar::paint::putDownPiece(m_doc);
    commitText();
    m_doc.notifyOverlay();
    m_doc.notifyStatus();
}

void PaintEditor::showSetting()
{
    PaintStatus& s = m_doc.mutableStatus();
    const ToolCapabilities can = currentTool() ? currentTool()->capabilities() : ToolCapabilities{};
    s.settingName = can.settingName ? QCoreApplication::translate("PaintTools", can.settingName) : QString();
    if (can.sizeSetting)
        s.settingValue = QString::number(m_doc.mutableSizes().*can.sizeSetting);
    m_doc.notifyStatus();
}

void PaintEditor::press(const ToolInput& input)
{
    m_doc.setButtonDown(true);
    if (input.button == Qt::LeftButton)
        m_stroke.drawColour = m_doc.frontColour();
    else if (input.button == Qt::RightButton)
        m_stroke.drawColour = m_doc.backColour();
    // Drawing tools write into the picture: if it still shares its pixels with an opened
    // bitmap, it gets its own copy now, once, rather than during a move.
    if (currentTool() && currentTool()->capabilities().writesPixels)
        m_doc.ownPicture();
    // The release goes to the tool that took the press, even when the press switched tools
    // (the colour picker returns to the tool used before it).
    m_pressedTool = currentTool();
    if (m_pressedTool)
        m_pressedTool->press(*this, input);
}

void PaintEditor::move(const ToolInput& input)
{
    PaintTool* t = currentTool();
    if (t)
        t->move(*this, input);
    if (!t || t->readsOutPointer())
        readPointer(input);
}

void PaintEditor::release(const ToolInput& input)
{
    if (!m_doc.buttonDown())
        return;
    PaintTool* t = m_pressedTool ? m_pressedTool : currentTool();
    m_pressedTool = nullptr;
    if (t)
        t->release(*this, input);
    if (!t || t->recordsOnRelease())
        m_doc.pushUndo();
    m_doc.setButtonDown(false);
    m_doc.setSprayTimerActive(false);
}

void PaintEditor::hoverOutside(QPoint controlPos)
{
    if (PaintTool* t = currentTool())
        t->hoverOutside(*this, controlPos);
}

void PaintEditor::tick()
{
    if (PaintTool* t = currentTool())
        t->tick(*this);
}

void PaintEditor::readPointer(const ToolInput& input)
{
    PaintStatus& s = m_doc.mutableStatus();
    const QPoint p = input.pixel;
    if (m_doc.picture().rect().contains(p))
        s.colour = PaintDocument::colourText(m_doc.picture().pixel(p));
    s.pointer = PaintDocument::sizeText(p.x(), p.y());
    m_stroke.lastPointer = input.pos;
    m_doc.notifyStatus();
}

bool PaintEditor::sizeKey(int delta)
{
    PaintTool* t = currentTool();
    int ToolSizes::*size = t ? t->capabilities().sizeSetting : nullptr;
    if (!size)
        return false;
    ToolSizes& sizes = m_doc.mutableSizes();
    int* setting = &(sizes.*size);
    *setting += delta;
    sizes.applyBounds();
    t->sizeChanged(*this);
    m_doc.mutableStatus().settingValue = QString::number(*setting);
    m_doc.notifyStatus();
    return true;
}

void PaintEditor::undo()
{
    if (pieceHistoryLive() && !m_pieceUndo.empty()) {
        m_pieceRedo.push_back({m_doc.piece(), m_doc.piecePos()});
        const PieceState state = m_pieceUndo.back();
        m_pieceUndo.pop_back();
        showPieceState(state);
        return;
    }
    // A floating piece is put down first, so that undo takes back the whole selection: the lift
    // and the move together.
    velmar::paint::putDownPiece(m_doc);
    showUndoState(false);
}

void PaintEditor::redo()
{
    if (pieceHistoryLive() && !m_pieceRedo.empty()) {
        m_pieceUndo.push_back({m_doc.piece(), m_doc.piecePos()});
        const PieceState state = m_pieceRedo.back();
        m_pieceRedo.pop_back();
        showPieceState(state);
        return;
    }
    velmar::paint::putDownPiece(m_doc);
    showUndoState(true);
}

void PaintEditor::showUndoState(bool forward)
{
    if (m_doc.history().count() > 0) {
        m_doc.setCanvasBrush(m_doc.backColour());
        m_doc.mutableOverlay().frameVisible = false;
        m_doc.mutableOverlay().canvasHandlesVisible = true;
        const QSize was = m_doc.picture().size();
        if (forward)
            m_doc.redoStep();
        else
            m_doc.undoStep();
        m_doc.notifyOverlay();
        // A picture shown fitted to the window is fitted again at the size it comes back with.
        if (m_doc.zoomIndex() == kFitRow && m_doc.picture().size() != was)
            m_doc.setZoomIndex(kFitRow);
    } else if (forward) {
        m_doc.history().redo(m_doc.mutablePicture(QRect()));
    } else {
        m_doc.history().undo(m_doc.mutablePicture(QRect()));
    }
    emit m_doc.undoAvailabilityChanged();
}

void PaintEditor::palettePress(int index, Qt::MouseButton button)
{
    if (index < 0 || index >= kPaletteSize)
        return;
    const QRgb c = pixelFromColourValue(m_doc.paletteColour(index));
    if (button == Qt::LeftButton)
        m_doc.setFrontColour(c);
    else if (button == Qt::RightButton)
        m_doc.setBackColour(c);
    else
        return;
    applyTransparency();
}

void PaintEditor::commitText()
{
    // Text drawn in by a tool change or closing becomes a state of its own, so undoing the next
    // stroke does not take the text away with it.
    if (!commitTextBox(*this, true).isEmpty())
        m_doc.pushUndo();
}

}  // namespace velmar::paint
