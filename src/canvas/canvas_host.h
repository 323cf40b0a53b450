#pragma once

#include "canvas/command_registry.h"
#include "document/document_controller.h"
#include "document/editor_session.h"
#include "system/working_folders.h"

class QAction;
class QMenu;
class QWidget;

namespace velmar {

// What the canvas and the outline's commands need from the main window: its commands and menus,
// and the document controller, which records steps and tells the views what changed. A narrow
// facade, so no command reaches into the window itself.
class CanvasHost {
public:
    virtual ~CanvasHost() = default;
    virtual OpenOutline& document() = 0;
    virtual const CommandRegistry& commands() const = 0;
    virtual QWidget* dialogParent() = 0;
    virtual const DialogFolders& dialogFolders() const = 0;
    virtual DocumentController& documents() = 0;
    // Paints the reading-order overlays again when their buttons are down.
    virtual void redrawOverlays() = 0;
    // Shows the commands' enabled and checked states as the document now has them, after a
    // change the document controller does not report (what the mouse chose, a switch).
    virtual void showCommandStates() = 0;
    // Repaints the canvas when an overlay is showing and clears the repaint-pending flag.
    virtual void repaintIfPending() = 0;
};

}  // namespace velmar
