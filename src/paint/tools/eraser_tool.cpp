#include "paint/core/paint_document.h"
#include "paint/tools/tool_factories.h"

namespace velmar::paint {

namespace {

// A square of side eraserSize that follows the pointer and paints its area in the back colour
// (left button) or the front colour (right button).
class EraserTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::Eraser; }
    ToolCapabilities capabilities() const override
    {
        return {.settingName = QT_TRANSLATE_NOOP("PaintTools", "Размер"), .sizeSetting = &ToolSizes::eraserSize};
    }
    // The square takes the new size at once.
    void sizeChanged(ToolContext& ctx) override { chosen(ctx); }

    void chosen(ToolContext& ctx) override
    {
        PaintDocument& doc = ctx.document();
        PaintOverlay& o = doc.mutableOverlay();
        const int side = squareSide(doc);
        o.eraserSquare.setSize(QSize(side, side));
        doc.notifyOverlay();
    }

    void press(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        StrokeState& s = ctx.stroke();
        // The reverse of the other tools: the left button erases to the back colour.
        if (in.button == Qt::LeftButton)
            m_colour = doc.backColour();
        else if (in.button == Qt::RightButton)
            m_colour = doc.frontColour();
        s.erasing = true;
        doc.setCanvasBrush(m_colour);
        follow(doc, in.pos);
        erase(doc);
    }

    void move(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        follow(doc, in.pos);
        if (ctx.stroke().erasing)
            erase(doc);
    }

    void release(ToolContext& ctx, const ToolInput&) override { ctx.stroke().erasing = false; }

    void hoverOutside(ToolContext& ctx, QPoint pos) override { follow(ctx.document(), pos); }

private:
    // The square's side on the screen: eraserSize picture pixels at the zoom, at least one pixel.
    static int squareSide(const PaintDocument& doc)
    {
        return std::max(1, doc.zoom().toControl(doc.sizes().eraserSize));
    }

    // Centres the square on the pointer (picture-control pixels).
    static void follow(PaintDocument& doc, QPoint pos)
    {
        PaintOverlay& o = doc.mutableOverlay();
        const int side = squareSide(doc);
        o.eraserSquare = QRect(pos.x() - side / 2, pos.y() - side / 2, side, side);
        o.eraserVisible = true;
        doc.notifyOverlay();
    }

    void erase(PaintDocument& doc) const
    {
        const QRect& sq = doc.mutableOverlay().eraserSquare;
        const ZoomScale z = doc.zoom();
        // Below 1× the square's side may round to another number of picture pixels: it keeps
        // eraserSize pixels from its top-left corner.
        const QPoint from = z.toPicture(sq.topLeft());
        const QPoint to = z.magnifies() || z.isOne() ? z.toPicture(sq.topLeft() + QPoint(sq.width(), sq.height()))
                                                     : from + QPoint(doc.sizes().eraserSize, doc.sizes().eraserSize);
        const QRect area(from, to - QPoint(1, 1));
        const QRect r = area.intersected(doc.picture().rect());
        if (r.isEmpty())
            return;
        QImage& picture = doc.mutablePicture(r);
        for (int y = r.top(); y <= r.bottom(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            std::fill(line + r.left(), line + r.right() + 1, m_colour);
        }
        doc.notifyChanged(r);
    }

    QRgb m_colour = 0xFFFFFFFF;
};

}  // namespace

std::unique_ptr<PaintTool> makeEraserTool() { return std::make_unique<EraserTool>(); }

}  // namespace velmar::paint
