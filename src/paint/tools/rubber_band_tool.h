#pragma once

#include "paint/tools/paint_tool.h"

#include <QPainter>

namespace velmar::paint {

// The line and the shapes: every move with the button held puts back the pixels under the
// previous figure and draws the figure to the pointer, keeping the pixels under it first, so
// only the previous and the new figure's rectangles change and nothing is copied at the press.
// The last figure stays at release.
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
    // The picture pixels the figure from the stroke start to the pointer may touch (empty if it
    // draws nothing). Drawing is clipped to them.
    virtual QRect figureBounds(ToolContext& ctx, const ToolInput& in) const = 0;
    // Draws the figure from the stroke start to the pointer.
    virtual void drawFigure(ToolContext& ctx, QPainter& painter, const ToolInput& in) = 0;

private:
    void putBackUnder(QImage& picture);
    void keepUnder(const QImage& picture, const QRect& area);

    bool m_active = false;
    QRect m_band;    // pixels of the figure on the picture now
    QImage m_under;  // the picture's pixels under m_band before the figure, at its top-left
};

}  // namespace velmar::paint
