#pragma once

#include <QAction>
#include <QObject>

namespace velmar {

// Keeps a history command (undo, redo) current by itself, as the actions of QUndoStack are: its
// enabled state follows the history's own change signal, not the commands that change it.
template <typename History, typename Signal, typename Available>
void followHistory(QAction* action, const History* history, Signal changed, Available available)
{
    const auto update = [action, available] { action->setEnabled(available()); };
    QObject::connect(history, changed, action, update);
    update();
}

}  // namespace velmar
