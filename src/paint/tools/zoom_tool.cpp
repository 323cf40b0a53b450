#include "paint/tools/tool_factories.h"

namespace velmar::paint {

namespace {

// The zoom tool only shows the zoom list; the chosen row is PaintEditor::chooseZoom.
class ZoomTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::Zoom; }
    ToolCapabilities capabilities() const override { return {.writesPixels = false}; }
};

}  // namespace

std::unique_ptr<PaintTool> makeZoomTool() { return std::make_unique<ZoomTool>(); }

}  // namespace velmar::paint
