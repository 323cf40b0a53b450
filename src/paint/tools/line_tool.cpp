#include "paint/core/paint_document.h"
#include "paint/core/shape_geometry.h"
#include "paint/tools/rubber_band_tool.h"
#include "paint/tools/tool_factories.h"
#include "paint/tools/tool_painting.h"

namespace velmar::paint {

namespace {

// A straight line of width lineWidth from the press point; with Shift in one of eight directions.
class LineTool final : public RubberBandTool {
public:
    ToolId id() const override { return ToolId::Line; }
    ToolCapabilities capabilities() const override
    {
        return {.settingName = QT_TRANSLATE_NOOP("PaintTools", "Толщина"), .sizeSetting = &ToolSizes::lineWidth};
    }

protected:
    QRect figureBounds(ToolContext& ctx, const ToolInput& in) const override
    {
        const auto [a, b] = ends(ctx, in);
        const int width = ctx.document().sizes().lineWidth;
        const QRect line = lineBounds(a, b, width);
        if (ctx.document().arrowHeads() == ArrowHeads::None)
            return line;
        const int reach = arrowHeadReach(width);
        return line.adjusted(-reach, -reach, reach, reach);
    }

    void drawFigure(ToolContext& ctx, QPainter& painter, const ToolInput& in) override
    {
        const auto [a, b] = ends(ctx, in);
        const QRgb colour = ctx.stroke().drawColour;
        const int width = ctx.document().sizes().lineWidth;
        painter.setPen(strokePen(colour, width));
        if (a == b) {
            drawDot(painter, a, colour, width);
            return;
        }
        const ArrowHeads heads = ctx.document().arrowHeads();
        if (heads == ArrowHeads::None) {
            painter.drawLine(a, b);
            return;
        }
        // The heads take their share of the line; the line runs between their bases.
        const double share = heads == ArrowHeads::Both ? 0.5 : 1.0;
        const ArrowHead atEnd = arrowHead(a, b, width, share);
        const ArrowHead atStart = heads == ArrowHeads::Both ? arrowHead(b, a, width, share) : ArrowHead{a, a, a, a};
        painter.drawLine(atStart.base, atEnd.base);
        painter.setPen(QPen(QColor::fromRgb(colour), 1));
        painter.setBrush(QColor::fromRgb(colour));
        painter.drawPolygon(QPolygonF({atEnd.tip, atEnd.left, atEnd.right}));
        if (heads == ArrowHeads::Both)
            painter.drawPolygon(QPolygonF({atStart.tip, atStart.left, atStart.right}));
        painter.setBrush(Qt::NoBrush);
    }

private:
    // The line's ends in picture pixels.
    static std::pair<QPoint, QPoint> ends(ToolContext& ctx, const ToolInput& in)
    {
        const ZoomScale z = ctx.document().zoom();
        const QPoint start = ctx.stroke().strokeStart;
        const QPoint end = in.shift ? constrainedLineEnd(start, in.pos) : in.pos;
        return {z.toPicture(start), z.toPicture(end)};
    }
};

}  // namespace

std::unique_ptr<PaintTool> makeLineTool() { return std::make_unique<LineTool>(); }

}  // namespace velmar::paint
