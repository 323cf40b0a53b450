#include "canvas/canvas_host.h"

#include <QAction>

namespace velmar {

void enableSaveCommands(CanvasHost& host)
{
    for (const char* name : {"ToolButton3", "ToolButton5", "ToolButton7", "N49", "N50", "N51", "N53"})
        if (QAction* action = host.command(QLatin1String(name)))
            action->setEnabled(true);
}

void markModifiedWithoutStep(CanvasHost& host)
{
    host.document().state.modified = true;
    enableSaveCommands(host);
}

}  // namespace velmar
