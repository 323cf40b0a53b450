#pragma once

#include "canvas/command_registry.h"
#include "model/document.h"
#include "platform/core/working_folders.h"

class QAction;
class QMenu;
class QWidget;

namespace velmar {

// What the canvas controller needs from the main window: its commands and menus, and the undo
// step. A narrow facade, so the controller never reaches into the window itself.
class CanvasHost {
public:
    virtual ~CanvasHost() = default;
    virtual Document& document() = 0;
    virtual const CommandRegistry& commands() const = 0;
    virtual QWidget* dialogParent() = 0;
    virtual const DialogFolders& dialogFolders() const = 0;
    // Records a history step after a change (`wkl`).
    virtual void recordStep() = 0;
    // Paints the reading-order overlays again when their buttons are down.
    virtual void redrawOverlays() = 0;
    // Repaints the canvas when an overlay is showing and clears the repaint-pending flag.
    virtual void repaintIfPending() = 0;
};

// Makes the save commands available, as every recorded change does.
void enableSaveCommands(CanvasHost& host);

// Marks the outline modified for a change that records no history step, and makes the save
// commands available: closing the outline then asks to save it.
void markModifiedWithoutStep(CanvasHost& host);

}  // namespace velmar
