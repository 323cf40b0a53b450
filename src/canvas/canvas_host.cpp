#include "canvas/canvas_host.h"

#include <QAction>

namespace velmar {

void enableSaveCommands(CanvasHost& host)
{
    const CommandRegistry& c = host.commands();
    for (QAction* action : {c.saveButton, c.saveItem, c.saveAs, c.exportPicture, c.close})
        if (action)
            action->setEnabled(true);
}

void markModifiedWithoutStep(CanvasHost& host)
{
    host.document().state.modified = true;
    enableSaveCommands(host);
}

}  // namespace velmar
