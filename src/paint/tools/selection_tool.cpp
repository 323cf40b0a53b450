#include "paint/tools/tool_factories.h"

namespace velmar::paint {

namespace {

// The selection tool's place in the tool set. Lifting, moving and putting down a piece arrive
// with the selection work; until then a drag with it changes nothing and records nothing.
class SelectionTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::Selection; }
    bool recordsOnRelease() const override { return false; }
};

}  // namespace

std::unique_ptr<PaintTool> makeSelectionTool() { return std::make_unique<SelectionTool>(); }

}  // namespace velmar::paint
