#pragma once

#include "paint/tools/paint_tool.h"

#include <QPainter>

namespace velmar::paint {

// The line and the shapes: a press takes a snapshot of the picture, every move with the button
// held puts back the pixels under the previous figure and draws the figure to the pointer, so
// only the previous and the new figure's rectangles change. The last figure stays at release.
class RubberBandTool : public PaintTool {
public:
    void press(ToolContext& ctx, const ToolInput& in) override;
    void move(ToolContext& ctx, const ToolInput& in) override;
    void release(ToolContext& ctx, const ToolInput& in) override;
    // The figure drawn so far is taken away: the picture is the snapshot again.
    bool cancel(ToolContext& ctx) override;

protected:
    // Chooses the stroke's colours at the press (the shapes take both squares by the button).
    virtual void pressed(ToolContext&, const ToolInput&) {}
    // Draws the figure from the stroke start to the pointer; returns the picture pixels it may
    // have touched (empty if nothing was drawn).
    virtual QRect drawFigure(ToolContext& ctx, QPainter& painter, const ToolInput& in) = 0;

private:
    bool m_active = false;
    QRect m_band;   // pixels of the figure on the picture now
};

}  // namespace velmar::paint
