#include "paint/tools/tool_factories.h"

#include <iterator>

namespace velmar::paint {

namespace {

struct ToolEntry {
    ToolId id;
    std::unique_ptr<PaintTool> (*make)();
};

// Every tool the editor has, in tool-number order.
constexpr ToolEntry kTools[] = {
    {ToolId::Selection, makeSelectionTool}, {ToolId::Zoom, makeZoomTool},
    {ToolId::Eraser, makeEraserTool},       {ToolId::ColourPicker, makeColourPickerTool},
    {ToolId::Pencil, makePencilTool},       {ToolId::Spray, makeSprayTool},
    {ToolId::Fill, makeFillTool},           {ToolId::Line, makeLineTool},
    {ToolId::Text, makeTextTool},           {ToolId::Rectangle, makeRectangleTool},
    {ToolId::Ellipse, makeEllipseTool},     {ToolId::RoundedRectangle, makeRoundedRectangleTool},
};

}  // namespace

std::vector<ToolId> allTools()
{
    std::vector<ToolId> ids;
    ids.reserve(std::size(kTools));
    for (const ToolEntry& entry : kTools)
        ids.push_back(entry.id);
    return ids;
}

std::unique_ptr<PaintTool> createTool(ToolId id)
{
    for (const ToolEntry& entry : kTools)
        if (entry.id == id)
            return entry.make();
    return nullptr;
}

}  // namespace velmar::paint
