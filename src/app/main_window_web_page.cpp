#include "app/main_window.h"
#include "base/user_error.h"
#include "canvas/canvas_widget.h"
#include "canvas/selection_handles.h"
#include "platform/command_guard.h"
#include "platform/dialogs.h"
#include "view/outline_web_page.h"

#include <QCoreApplication>

namespace velmar {

// --- save as web page ------------------------------------------------------------------------------

void MainWindow::exportWebPage()
{
    m_handles->hideAll();
    const auto choice = dialogs().saveFile(this, QCoreApplication::translate("MainWindow", "Сохранить как веб-страницу"), m_dialogFolders.exports,
                                           QCoreApplication::translate("MainWindow", "Веб-страница (*.html)|*.html"),
                                           m_document.state.outlineName, 1);
    if (!choice)
        return;
    // The page draws the outline again as vectors, at the canvas's size as it stands.
    const QString error = velmar::exportWebPage(m_document, m_canvas->size(), webPageFileName(choice->path));
    if (!error.isEmpty())
        throw UserError(error);
}

}  // namespace velmar
