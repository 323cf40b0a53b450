// The editor's edit commands: the floating piece, the clipboard's pictures and picture files.
#include "paint/core/floating_piece.h"
#include "paint/core/picture_files.h"
#include "paint/core/zoom_mapping.h"
#include "paint/editor/paint_editor.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>

namespace velmar::paint {

void PaintEditor::placeFloatingPiece(const QImage& piece)
{
    if (piece.isNull())
        return;
    chooseTool(ToolId::Selection);
    // A picture with see-through pixels (from another program) lies on the back colour.
    QImage opaque = piece;
    if (piece.hasAlphaChannel()) {
        opaque = QImage(piece.size(), QImage::Format_RGB32);
        opaque.fill(m_doc.backColour());
        QPainter p(&opaque);
        p.drawImage(0, 0, piece);
    }
    // The piece appears at the work area's top-left corner: the picture's corner, or the part
    // of the picture scrolled there, on the zoom grid.
    const int z = m_doc.zoomFactor();
    const QPoint at(m_doc.scrollPosition().x() / z * z, m_doc.scrollPosition().y() / z * z);
    m_doc.setPiece(opaque, at);
    PaintOverlay& o = m_doc.mutableOverlay();
    o.frame = m_doc.pieceRect();
    o.frameVisible = true;
    o.handlesVisible = true;
    m_doc.notifyOverlay();
    applyPlacement(m_doc);
}

void PaintEditor::replacePicture(const QImage& picture)
{
    // What was on the screen becomes the state undo returns to: a floating piece goes into the
    // picture it floated over, an open text box is written in.
    m_doc.setButtonDown(false);
    m_doc.setSprayTimerActive(false);
    resetToolPanels();
    m_doc.setPicture(picture);
    m_doc.setCanvasBrush(m_doc.backColour());
    m_doc.mutableOverlay().canvasHandlesVisible = true;
    m_doc.notifyOverlay();
    m_doc.pushUndo();
    // Shown fitted to the window, the new picture is fitted in its turn.
    if (m_doc.zoomIndex() == kFitRow)
        m_doc.setZoomIndex(kFitRow);
}

void PaintEditor::putDownPiece() { velmar::paint::putDownPiece(m_doc); }

QImage PaintEditor::copyPiece() const { return canCopy() ? m_doc.piece() : QImage(); }

QImage PaintEditor::cutPiece()
{
    const QImage piece = copyPiece();
    if (!piece.isNull())
        discardPiece(m_doc);
    return piece;
}

void PaintEditor::paste(const QImage& image)
{
    velmar::paint::putDownPiece(m_doc);
    placeFloatingPiece(image);
}

void PaintEditor::selectAll()
{
    chooseTool(ToolId::Selection);
    // The frame covers the whole picture, wherever the view is scrolled.
    PaintOverlay& o = m_doc.mutableOverlay();
    o.frame = QRect(QPoint(0, 0), m_doc.controlSize());
    o.frameVisible = true;
    o.handlesVisible = true;
    m_doc.notifyOverlay();
    // Every pixel, also where the zoom below 1× rounds the control's size down.
    liftPixels(m_doc, m_doc.picture().rect(), QPoint(0, 0));
}

void PaintEditor::deleteKey()
{
    if (m_doc.currentTool() == ToolId::Selection && m_doc.overlay().frameVisible)
        discardPiece(m_doc);
}

bool PaintEditor::canCopy() const { return m_doc.pieceFloating() && m_doc.overlay().frameVisible; }

void PaintEditor::applyTransparency()
{
    if (m_doc.currentTool() == ToolId::Selection)
        applyPlacement(m_doc);
}

PieceFileResult PaintEditor::savePieceToFile(const QString& path, int filterIndex) const
{
    PieceFileResult result;
    const QImage piece = copyPiece();
    if (piece.isNull()) {
        result.error = QCoreApplication::translate("PaintWindow", "Нет выделенного фрагмента.");
        return result;
    }
    QString why;
    result.path = writePictureFile(piece, path, filterIndex, &why);
    result.ok = !result.path.isEmpty();
    if (!result.ok) {
        result.path = savedPictureName(path, filterIndex);
        result.error =
            QCoreApplication::translate("PaintWindow", "Не удалось сохранить файл «%1»: %2").arg(result.path, why);
    }
    return result;
}

PieceFileResult PaintEditor::pastePieceFromFile(const QString& path, int filterIndex)
{
    PieceFileResult result;
    result.path = path;
    // The JPEG filters read the file as JPEG whatever its name says.
    QString why;
    const QImage image = readPictureFile(path, decoderForOpenFilter(filterIndex, path), &why);
    if (image.isNull() || image.width() < 1 || image.height() < 1) {
        result.error = QCoreApplication::translate("PaintWindow", "Не удалось прочитать рисунок «%1»: %2")
                           .arg(QFileInfo(path).fileName(), why);
        return result;
    }
    velmar::paint::putDownPiece(m_doc);
    placeFloatingPiece(image);
    result.ok = true;
    return result;
}

void PaintEditor::pressOutside()
{
    if (m_doc.currentTool() != ToolId::Selection)
        return;
    velmar::paint::putDownPiece(m_doc);
    PaintOverlay& o = m_doc.mutableOverlay();
    o.frameVisible = false;
    o.handlesVisible = false;
    m_doc.notifyOverlay();
}

}  // namespace velmar::paint
