#include "paint/core/floating_piece.h"
#include "paint/core/paint_document.h"
#include "paint/core/zoom_mapping.h"
#include "paint/tools/tool_factories.h"

#include <algorithm>
#include <cstring>

namespace velmar::paint {

namespace {

// The selection tool: a press on the picture starts a dotted frame snapped to the zoom grid; the
// release lifts the framed pixels into a floating piece. A press on the frame of a floating piece
// drags the piece instead, in steps of the zoom factor.
class SelectionTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::Selection; }
    ToolCapabilities capabilities() const override { return {.writesPixels = false}; }
    bool recordsOnRelease() const override { return false; }
    bool readsOutPointer() const override { return !m_moving; }

    void press(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        PaintOverlay& o = doc.mutableOverlay();
        if (doc.pieceFloating() && o.frameVisible && in.button == Qt::LeftButton
            && normalisedFrame(o.frame).contains(in.pos)) {
            m_moving = true;
            m_grab = in.pos - doc.piecePos();
            m_pressedAt = doc.piecePos();
            o.frameVisible = false;
            o.handlesVisible = false;
            doc.notifyOverlay();
            return;
        }
        putDownPiece(doc);
        m_anchor = snapToZoom(in.pos, doc.zoomFactor());
        o.frame = QRect(m_anchor, QSize(0, 0));
        o.frameVisible = true;
        o.handlesVisible = false;
        m_dragging = true;
        doc.notifyOverlay();
    }

    void move(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        if (!doc.buttonDown())
            return;
        const int z = doc.zoomFactor();
        PaintOverlay& o = doc.mutableOverlay();
        if (m_moving) {
            const QPoint at = snapToZoom(in.pos - m_grab, z);
            o.frame.moveTopLeft(at);
            doc.movePiece(at);
            doc.mutableStatus().pointer = PaintDocument::sizeText(at.x(), at.y());
            doc.notifyStatus();
            return;
        }
        if (!m_dragging)
            return;
        const QSize control = doc.controlSize();
        const int x = std::clamp(snapToZoom(in.pos.x(), z), 0, control.width());
        const int y = std::clamp(snapToZoom(in.pos.y(), z), 0, control.height());
        // While dragging left or up the frame keeps the anchor and has a negative extent.
        o.frame = QRect(m_anchor, QSize(x - m_anchor.x(), y - m_anchor.y()));
        doc.mutableStatus().bandSize =
            QStringLiteral("%1x%2").arg(std::abs(o.frame.width())).arg(std::abs(o.frame.height()));
        doc.notifyOverlay();
        doc.notifyStatus();
    }

    void release(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        PaintOverlay& o = doc.mutableOverlay();
        if (m_moving) {
            m_moving = false;
            o.frameVisible = true;
            o.handlesVisible = true;
            doc.notifyOverlay();
            return;
        }
        if (!m_dragging)
            return;
        m_dragging = false;
        const int z = doc.zoomFactor();
        const QRect frame = normalisedFrame(o.frame);
        // A click selects nothing; so does a frame thinner than one picture pixel, which would
        // lift an empty piece.
        if (snapToZoom(in.pos, z) == m_anchor || frame.width() / z == 0 || frame.height() / z == 0) {
            o.frameVisible = false;
            o.handlesVisible = false;
            doc.notifyOverlay();
            return;
        }
        o.frame = frame;
        o.handlesVisible = true;
        doc.notifyOverlay();
        liftSelection(doc);
    }

    bool cancel(ToolContext& ctx) override
    {
        PaintDocument& doc = ctx.document();
        PaintOverlay& o = doc.mutableOverlay();
        if (m_moving) {
            // The piece goes back where it was taken hold of, still floating.
            m_moving = false;
            doc.movePiece(m_pressedAt);
            o.frame.moveTopLeft(m_pressedAt);
            o.frameVisible = true;
            o.handlesVisible = true;
        } else if (m_dragging) {
            m_dragging = false;
            o.frameVisible = false;
            o.handlesVisible = false;
            doc.mutableStatus().bandSize.clear();
            doc.notifyStatus();
        } else {
            return false;
        }
        doc.notifyOverlay();
        return true;
    }

private:
    QPoint m_pressedAt;  // where a dragged piece lay at the press
    QPoint m_anchor;     // the frame's press point, snapped (picture-control pixels)
    QPoint m_grab;       // where the piece was taken hold of, from its top-left corner
    bool m_dragging = false;
    bool m_moving = false;
};

}  // namespace

std::unique_ptr<PaintTool> makeSelectionTool() { return std::make_unique<SelectionTool>(); }

}  // namespace velmar::paint
