#pragma once

#include "platform/command_table.h"

namespace velmar::paint {

class PaintWindow;

// The graphic editor's commands by typed id: its menu items and the selection frame's pop-up
// items. The table in paint_window_command_table.cpp says where each sits, what it runs and what
// its enabled state follows; the objectNames it sets are for tests and reports.
enum class PaintCommand : int {
    New,
    Open,
    Save,
    SaveAs,
    Exit,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    SelectAll,
    CopyToFile,
    PasteFromFile,
    Help,
    About,
    // The items of the selection frame's pop-up menu.
    PopupCut,
    PopupCopy,
    PopupPaste,
    PopupPasteFromFile,
    PopupCopyToFile,
    // The "Рисунок" menu: the picture, or the floating piece when there is one.
    Crop,
    TurnRight,
    TurnLeft,
    TurnHalf,
    FlipHorizontal,
    FlipVertical,
    Resize,
    FitToWindow,
};

enum class PaintMenu : int { File, Edit, Help, Frame, Picture };

using PaintCommands = TypedCommands<PaintCommand, PaintMenu>;

}  // namespace velmar::paint
