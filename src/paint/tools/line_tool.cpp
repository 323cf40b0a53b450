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
        return lineBounds(a, b, ctx.document().sizes().lineWidth);
    }

    void drawFigure(ToolContext& ctx, QPainter& painter, const ToolInput& in) override
    {
        const auto [a, b] = ends(ctx, in);
        painter.setPen(strokePen(ctx.stroke().drawColour, ctx.document().sizes().lineWidth));
        if (a == b)
            drawDot(painter, a, ctx.stroke().drawColour, ctx.document().sizes().lineWidth);
        else
            painter.drawLine(a, b);
    }

private:
    // The line's ends in picture pixels.
    static std::pair<QPoint, QPoint> ends(ToolContext& ctx, const ToolInput& in)
    {
        const int z = ctx.document().zoomFactor();
        const QPoint start = ctx.stroke().strokeStart;
        const QPoint end = in.shift ? constrainedLineEnd(start, in.pos) : in.pos;
        return {QPoint(start.x() / z, start.y() / z), QPoint(end.x() / z, end.y() / z)};
    }
};

}  // namespace

std::unique_ptr<PaintTool> makeLineTool() { return std::make_unique<LineTool>(); }

}  // namespace velmar::paint
