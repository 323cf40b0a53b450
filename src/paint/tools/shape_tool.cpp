#include "paint/tools/shape_tool.h"

#include "paint/core/paint_document.h"
#include "paint/core/shape_geometry.h"
#include "paint/tools/tool_factories.h"
#include "paint/tools/tool_painting.h"

#include <cstdlib>

namespace velmar::paint {

void ShapeTool::pressed(ToolContext& ctx, const ToolInput& in)
{
    const PaintDocument& doc = ctx.document();
    StrokeState& s = ctx.stroke();
    if (in.button == Qt::LeftButton) {
        s.drawColour = doc.frontColour();
        s.otherColour = doc.backColour();
    } else if (in.button == Qt::RightButton) {
        s.drawColour = doc.backColour();
        s.otherColour = doc.frontColour();
    }
}

std::pair<QPoint, QPoint> ShapeTool::corners(QPoint start, const ToolInput& in) const
{
    return {start, in.shift ? squareCorner(start, in.pos) : in.pos};
}

QRect ShapeTool::figureBox(ToolContext& ctx, const ToolInput& in) const
{
    const ZoomScale z = ctx.document().zoom();
    const auto [c1, c2] = corners(ctx.stroke().strokeStart, in);
    const QPoint a = z.toPicture(c1);
    const QPoint b = z.toPicture(c2);
    // A figure with no width or no height draws nothing.
    if (a.x() == b.x() || a.y() == b.y())
        return {};
    return figureRect(a, b);
}

QRect ShapeTool::figureBounds(ToolContext& ctx, const ToolInput& in) const
{
    const QRect box = figureBox(ctx, in);
    if (box.isEmpty())
        return {};
    const int pad = ctx.document().sizes().shapeWidth / 2 + 2;
    return box.adjusted(-pad, -pad, pad, pad);
}

void ShapeTool::drawFigure(ToolContext& ctx, QPainter& painter, const ToolInput& in)
{
    PaintDocument& doc = ctx.document();
    const StrokeState& s = ctx.stroke();
    const ZoomScale z = doc.zoom();
    const QPoint start = s.strokeStart;
    doc.mutableStatus().bandSize = PaintDocument::sizeText(z.toPicture(std::abs(start.x() - in.pos.x())),
                                                           z.toPicture(std::abs(start.y() - in.pos.y())));
    doc.notifyStatus();

    const QRect box = figureBox(ctx, in);
    if (box.isEmpty())
        return;
    painter.setPen(strokePen(s.drawColour, doc.sizes().shapeWidth));
    switch (doc.fillStyle()) {
    case FillStyle::Outline: painter.setBrush(Qt::NoBrush); break;
    case FillStyle::OutlineAndOther: painter.setBrush(QColor::fromRgb(s.otherColour)); break;
    case FillStyle::Solid: painter.setBrush(QColor::fromRgb(s.drawColour)); break;
    }
    paint(painter, box);
    doc.setCanvasBrush(0xFFFFFFFF);
}

ToolCapabilities ShapeTool::capabilities() const
{
    return {.settingName = QT_TRANSLATE_NOOP("PaintTools", "Толщина"), .sizeSetting = &ToolSizes::shapeWidth};
}

namespace {

// Qt strokes a rectangle one pixel wider and higher than its QRect; these boxes are inclusive.
QRect strokeBox(const QRect& box) { return box.adjusted(0, 0, -1, -1); }

class RectangleTool final : public ShapeTool {
public:
    ToolId id() const override { return ToolId::Rectangle; }

protected:
    void paint(QPainter& painter, const QRect& box) const override { painter.drawRect(strokeBox(box)); }
};

class RoundedRectangleTool final : public ShapeTool {
public:
    ToolId id() const override { return ToolId::RoundedRectangle; }

protected:
    // Corners are quarters of a 16 × 16 ellipse.
    void paint(QPainter& painter, const QRect& box) const override
    {
        painter.drawRoundedRect(strokeBox(box), 8, 8, Qt::AbsoluteSize);
    }
};

class EllipseTool final : public ShapeTool {
public:
    ToolId id() const override { return ToolId::Ellipse; }

protected:
    // Centred on the press point: the pointer and its mirror image bound it.
    std::pair<QPoint, QPoint> corners(QPoint start, const ToolInput& in) const override
    {
        const CornerPair c = ellipseCorners(start, in.pos, in.shift);
        return {c.a, c.b};
    }
    void paint(QPainter& painter, const QRect& box) const override { painter.drawEllipse(strokeBox(box)); }
};

}  // namespace

std::unique_ptr<PaintTool> makeRectangleTool() { return std::make_unique<RectangleTool>(); }
std::unique_ptr<PaintTool> makeRoundedRectangleTool() { return std::make_unique<RoundedRectangleTool>(); }
std::unique_ptr<PaintTool> makeEllipseTool() { return std::make_unique<EllipseTool>(); }

}  // namespace velmar::paint
