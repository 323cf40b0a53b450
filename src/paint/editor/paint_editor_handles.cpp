// The resize handles: the picture's three edge handles and the eight handles around the frame.
#include "paint/core/floating_piece.h"
#include "paint/core/picture_transforms.h"
#include "paint/core/zoom_mapping.h"
#include "paint/editor/paint_editor.h"
#include "paint/tools/text_tool.h"

#include <QPainter>

namespace velmar::paint {

namespace {

// The edges a frame handle moves.
struct Edges {
    bool left, top, right, bottom;
};

constexpr Edges kFrameHandleEdges[] = {
    {true, true, false, false},   // top-left
    {false, true, false, false},  // top
    {false, true, true, false},   // top-right
    {false, false, true, false},  // right
    {false, false, true, true},   // bottom-right
    {false, false, false, true},  // bottom
    {true, false, false, true},   // bottom-left
    {true, false, false, false},  // left
};

}  // namespace

void PaintEditor::canvasResizePress(CanvasHandle handle)
{
    m_resize.active = true;
    m_resize.canvas = true;
    m_resize.handle = int(handle);
    m_resize.start = QRect(QPoint(0, 0), m_doc.controlSize());
    // The dotted frame shows the new size; a floating piece's frame comes back afterwards.
    PaintOverlay& o = m_doc.mutableOverlay();
    m_resize.saved = o;
    o.frame = m_resize.start;
    o.frameVisible = true;
    o.canvasHandlesVisible = false;
    o.handlesVisible = false;
    m_doc.notifyOverlay();
}

void PaintEditor::canvasResizeMove(QPoint delta)
{
    if (!m_resize.active || !m_resize.canvas)
        return;
    const auto handle = CanvasHandle(m_resize.handle);
    PaintOverlay& o = m_doc.mutableOverlay();
    int w = o.frame.width(), h = o.frame.height();
    // A handle held past the view's edge keeps the view scrolling: the picture stops growing at
    // the largest size the editor makes, so letting go never asks for gigabytes.
    const int largest = m_doc.zoom().toControl(kMaxPictureSide);
    if (handle != CanvasHandle::Bottom)
        w = std::clamp(m_resize.start.width() + delta.x(), 1, largest);
    if (handle != CanvasHandle::Right)
        h = std::clamp(m_resize.start.height() + delta.y(), 1, largest);
    o.frame.setSize(QSize(w, h));
    m_doc.mutableStatus().pictureSize = PaintDocument::sizeText(w, h);
    m_doc.notifyOverlay();
    m_doc.notifyStatus();
}

void PaintEditor::canvasResizeRelease()
{
    if (!m_resize.active || !m_resize.canvas)
        return;
    m_resize.active = false;
    const QRect frame = m_doc.overlay().frame;
    m_doc.setCanvasBrush(m_doc.backColour());
    // The picture keeps at least one pixel each way, whatever the zoom. Below 1× the control's
    // size is rounded: the picture changes by the drag alone, so an edge let go where it was
    // keeps the size.
    const ZoomScale z = m_doc.zoom();
    QSize size = z.toPicture(frame.size());
    if (!z.magnifies() && !z.isOne()) {
        const QSize was = m_doc.picture().size();
        size = QSize(std::max(1, was.width() + z.toPicture(frame.width() - m_resize.start.width())),
                     std::max(1, was.height() + z.toPicture(frame.height() - m_resize.start.height())));
    }
    size = size.boundedTo(QSize(kMaxPictureSide, kMaxPictureSide));
    if (size != m_doc.picture().size()) {
        QImage resized(size, QImage::Format_RGB32);
        resized.fill(m_doc.backColour());
        {
            QPainter p(&resized);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(QPoint(0, 0), m_doc.picture());
        }
        m_doc.setPicture(resized);
    }
    PaintOverlay& o = m_doc.mutableOverlay();
    o = m_resize.saved;
    o.canvasHandlesVisible = true;
    m_doc.notifyOverlay();
    m_doc.mutableStatus().pictureSize = PaintDocument::sizeText(size.width(), size.height());
    m_doc.notifyStatus();
    m_doc.pushUndo();
}

void PaintEditor::frameResizePress(FrameHandle handle)
{
    m_resize.active = true;
    m_resize.canvas = false;
    m_resize.handle = int(handle);
    PaintOverlay& o = m_doc.mutableOverlay();
    m_resize.start = normalisedFrame(o.frame);
    o.handlesVisible = false;
    m_doc.notifyOverlay();
}

void PaintEditor::frameResizeMove(QPoint delta)
{
    if (!m_resize.active || m_resize.canvas)
        return;
    // The text box is sized to the pixel; a piece's frame keeps to the zoom grid.
    if (m_doc.currentTool() != ToolId::Text)
        delta = snapToZoom(delta, m_doc.zoomFactor());
    const Edges& e = kFrameHandleEdges[m_resize.handle];
    const QRect& s = m_resize.start;
    int left = s.left(), top = s.top(), width = s.width(), height = s.height();
    if (e.right)
        width = s.width() + delta.x();
    if (e.bottom)
        height = s.height() + delta.y();
    if (e.left) {
        left = s.left() + delta.x();
        width = s.width() - delta.x();
    }
    if (e.top) {
        top = s.top() + delta.y();
        height = s.height() - delta.y();
    }
    // A piece is never stretched beyond the largest picture the editor makes.
    const int largest = m_doc.zoom().toControl(kMaxPictureSide);
    if (width > largest) {
        if (e.left)
            left += width - largest;
        width = largest;
    }
    if (height > largest) {
        if (e.top)
            top += height - largest;
        height = largest;
    }
    PaintOverlay& o = m_doc.mutableOverlay();
    o.frame = QRect(left, top, width, height);
    m_doc.mutableStatus().bandSize = PaintDocument::sizeText(width, height);
    m_doc.notifyOverlay();
    m_doc.notifyStatus();
}

void PaintEditor::frameResizeRelease()
{
    if (!m_resize.active || m_resize.canvas)
        return;
    m_resize.active = false;
    PaintOverlay& o = m_doc.mutableOverlay();
    QRect frame = normalisedFrame(o.frame);
    frame.setWidth(std::max(frame.width(), kMinTextBoxWidth));
    frame.setHeight(std::max(frame.height(), kMinTextBoxHeight));
    o.frame = frame;
    o.handlesVisible = true;
    if (m_doc.currentTool() == ToolId::Text && o.textBoxVisible)
        o.textBox = frame.adjusted(1, 1, -1, -1);
    m_doc.notifyOverlay();
    if (m_doc.pieceFloating()) {
        // The piece is stretched to the frame; it stays floating until it is put down.
        const QSize size =
            frame.size() == m_doc.pieceRect().size() ? m_doc.piece().size() : m_doc.zoom().toPicture(frame.size());
        const QImage piece = m_doc.piece().size() == size
                                 ? m_doc.piece()
                                 : m_doc.piece().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_doc.setPiece(piece, frame.topLeft());
    }
}

}  // namespace velmar::paint
