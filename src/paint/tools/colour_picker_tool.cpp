#include "paint/core/paint_document.h"
#include "paint/tools/tool_factories.h"

namespace velmar::paint {

namespace {

// One-shot: a press takes the colour under the pointer into the front (left button) or back
// (right button) square, then the tool used before comes back.
class ColourPickerTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::ColourPicker; }
    ToolCapabilities capabilities() const override { return {.writesPixels = false, .returnsToPreviousTool = true}; }

    void press(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        StrokeState& s = ctx.stroke();
        if (!doc.picture().rect().contains(in.pixel))
            return;
        const QRgb c = doc.picture().pixel(in.pixel);
        if (in.button == Qt::LeftButton) {
            doc.setFrontColour(c);
            s.drawColour = doc.frontColour();
            s.otherColour = doc.backColour();
        } else if (in.button == Qt::RightButton) {
            doc.setBackColour(c);
            s.drawColour = doc.backColour();
            s.otherColour = doc.frontColour();
        } else {
            return;
        }
        ctx.chooseTool(doc.previousTool());
    }
};

}  // namespace

std::unique_ptr<PaintTool> makeColourPickerTool() { return std::make_unique<ColourPickerTool>(); }

}  // namespace velmar::paint
