#pragma once

#include "paint/tools/rubber_band_tool.h"

namespace velmar::paint {

// The rectangle, ellipse and rounded rectangle: outline in the stroke colour with width
// shapeWidth, filled by the fill style (nothing, the other square's colour, or the stroke
// colour). The leaves say where the figure's corners are and how it is drawn.
class ShapeTool : public RubberBandTool {
public:
    ToolCapabilities capabilities() const override;

protected:
    void pressed(ToolContext& ctx, const ToolInput& in) override;
    QRect figureBounds(ToolContext& ctx, const ToolInput& in) const override;
    void drawFigure(ToolContext& ctx, QPainter& painter, const ToolInput& in) override;

    // The figure's two opposite corners in picture-control pixels.
    virtual std::pair<QPoint, QPoint> corners(QPoint start, const ToolInput& in) const;
    // Draws the figure in `box` (picture pixels, right and bottom inclusive).
    virtual void paint(QPainter& painter, const QRect& box) const = 0;

private:
    // The figure's box in picture pixels (right and bottom inclusive); empty when the figure
    // has no width or no height.
    QRect figureBox(ToolContext& ctx, const ToolInput& in) const;
};

}  // namespace velmar::paint
