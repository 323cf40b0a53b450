#include "paint/tools/text_tool.h"

#include "paint/core/floating_piece.h"
#include "paint/core/paint_document.h"
#include "paint/core/text_drawing.h"
#include "paint/tools/tool_factories.h"

namespace velmar::paint {

QRect commitTextBox(ToolContext& ctx, bool hide)
{
    PaintDocument& doc = ctx.document();
    PaintOverlay& o = doc.mutableOverlay();
    if (!o.textBoxVisible)
        return {};
    QRect written;
    if (PaintHost* host = ctx.host()) {
        // The text tool works at zoom 1 only, so the box's place is the picture pixel.
        const QStringList lines = host->textBoxLines();
        const QPoint at = o.textBox.topLeft();
        const QRect area = textLinesArea(doc.picture(), at, lines, doc.textFont());
        written =
            drawTextLines(doc.mutablePicture(area), at, lines, doc.textFont(), doc.frontColour(), doc.canvasBrush());
        host->clearTextBox();
    }
    if (hide) {
        o.textBoxVisible = false;
        o.handlesVisible = false;
    }
    doc.notifyChanged(written);
    doc.notifyOverlay();
    return written;
}

namespace {

class TextTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::Text; }
    ToolCapabilities capabilities() const override { return {.settingName = QT_TRANSLATE_NOOP("PaintTools", "Шрифт")}; }

    void chosen(ToolContext& ctx) override
    {
        if (PaintHost* host = ctx.host())
            host->clearTextBox();
    }

    void press(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        commitTextBox(ctx, false);
        PaintOverlay& o = doc.mutableOverlay();
        o.handlesVisible = false;
        o.frame = QRect(in.pos, QSize(0, 0));
        o.frameVisible = true;
        m_pressed = true;
        doc.notifyOverlay();
    }

    void move(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        if (!m_pressed || !doc.buttonDown())
            return;
        PaintOverlay& o = doc.mutableOverlay();
        o.frame.setWidth(in.pos.x() - o.frame.left());
        o.frame.setHeight(in.pos.y() - o.frame.top());
        doc.notifyOverlay();
    }

    void release(ToolContext& ctx, const ToolInput& in) override
    {
        if (!m_pressed)
            return;
        m_pressed = false;
        PaintDocument& doc = ctx.document();
        PaintOverlay& o = doc.mutableOverlay();
        if (o.textBoxVisible && in.pos == o.frame.topLeft()) {
            // A click beside an open box closes it.
            commitTextBox(ctx, true);
            o.frame = QRect(in.pos, QSize(0, 0));
            doc.notifyOverlay();
            return;
        }
        QRect frame = normalisedFrame(o.frame);
        frame.setWidth(std::max(frame.width(), kMinTextBoxWidth));
        frame.setHeight(std::max(frame.height(), kMinTextBoxHeight));
        o.frame = frame;
        o.textBox = frame.adjusted(1, 1, -1, -1);
        o.handlesVisible = true;
        o.textBoxVisible = true;
        if (PaintHost* host = ctx.host())
            host->clearTextBox();
        doc.notifyOverlay();
    }

    bool cancel(ToolContext& ctx) override
    {
        if (!m_pressed)
            return false;
        // The frame being dragged goes away; a box written into by the press stays written.
        m_pressed = false;
        PaintDocument& doc = ctx.document();
        PaintOverlay& o = doc.mutableOverlay();
        o.frameVisible = o.textBoxVisible;
        o.handlesVisible = o.textBoxVisible;
        o.frame = o.textBox.adjusted(-1, -1, 1, 1);
        doc.notifyOverlay();
        return true;
    }

private:
    bool m_pressed = false;
};

}  // namespace

std::unique_ptr<PaintTool> makeTextTool() { return std::make_unique<TextTool>(); }

}  // namespace velmar::paint
