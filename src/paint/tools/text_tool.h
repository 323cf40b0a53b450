#pragma once

#include "paint/tools/paint_tool.h"

#include <QRect>

namespace velmar::paint {

// Writes the open text box into the picture (front colour, the text tool's font, over the
// picture's current brush colour) and empties the box; with `hide` the box and its handles go
// away. Returns the picture pixels written (empty when no box was open or it held no text).
QRect commitTextBox(ToolContext& ctx, bool hide);

// The text tool: a frame is dragged on the picture and a text box opens inside it (at least
// 30 × 20); the text is drawn in on the next press, a tool change or closing.
inline constexpr int kMinTextBoxWidth = 30;
inline constexpr int kMinTextBoxHeight = 20;

}  // namespace velmar::paint
