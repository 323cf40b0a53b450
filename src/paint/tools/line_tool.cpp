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
    ToolCapabilities capabilities() const override { return {.settingName = "Толщина", .sizeSetting = &ToolSizes::lineWidth}; }

protected:
    QRect drawFigure(ToolContext& ctx, QPainter& painter, const ToolInput& in) override
    {
        const PaintDocument& doc = ctx.document();
        const int z = doc.zoomFactor();
        const QPoint start = ctx.stroke().strokeStart;
        const QPoint end = in.shift ? constrainedLineEnd(start, in.pos) : in.pos;
        const QPoint a(start.x() / z, start.y() / z);
        const QPoint b(end.x() / z, end.y() / z);
        const int width = doc.sizes().lineWidth;
        painter.setPen(strokePen(ctx.stroke().drawColour, width));
        if (a == b)
            painter.drawPoint(a);
        else
            painter.drawLine(a, b);
        return lineBounds(a, b, width);
    }
};

}  // namespace

std::unique_ptr<PaintTool> makeLineTool() { return std::make_unique<LineTool>(); }

}  // namespace velmar::paint
