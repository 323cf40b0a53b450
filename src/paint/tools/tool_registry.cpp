#include "paint/tools/tool_factories.h"

namespace velmar::paint {

std::unique_ptr<PaintTool> createTool(ToolId id)
{
    switch (id) {
    case ToolId::Selection: return makeSelectionTool();
    case ToolId::Zoom: return makeZoomTool();
    case ToolId::Eraser: return makeEraserTool();
    case ToolId::ColourPicker: return makeColourPickerTool();
    case ToolId::Pencil: return makePencilTool();
    case ToolId::Spray: return makeSprayTool();
    case ToolId::Fill: return makeFillTool();
    case ToolId::Line: return makeLineTool();
    case ToolId::Text: return makeTextTool();
    case ToolId::Rectangle: return makeRectangleTool();
    case ToolId::Ellipse: return makeEllipseTool();
    case ToolId::RoundedRectangle: return makeRoundedRectangleTool();
    }
    return nullptr;
}

}  // namespace velmar::paint
