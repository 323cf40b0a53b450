#pragma once

#include "paint/tools/paint_tool.h"

#include <memory>

// One factory per tool class; the registry (tool_registry.cpp) maps tool numbers to them.
namespace velmar::paint {

std::unique_ptr<PaintTool> makeSelectionTool();
std::unique_ptr<PaintTool> makeZoomTool();
std::unique_ptr<PaintTool> makeEraserTool();
std::unique_ptr<PaintTool> makeColourPickerTool();
std::unique_ptr<PaintTool> makePencilTool();
std::unique_ptr<PaintTool> makeSprayTool();
std::unique_ptr<PaintTool> makeFillTool();
std::unique_ptr<PaintTool> makeLineTool();
std::unique_ptr<PaintTool> makeTextTool();
std::unique_ptr<PaintTool> makeRectangleTool();
std::unique_ptr<PaintTool> makeEllipseTool();
std::unique_ptr<PaintTool> makeRoundedRectangleTool();

}  // namespace velmar::paint
