#include "app/export_file_choice.h"
#include "app/main_window.h"
#include "base/user_error.h"
#include "canvas/canvas_widget.h"
#include "canvas/selection_handles.h"
#include "export/outline_web_page.h"
#include "platform/command_guard.h"
#include "platform/dialogs.h"

#include <QCoreApplication>

namespace velmar {

// --- save as web page ------------------------------------------------------------------------------

void MainWindow::exportWebPage()
{
    m_handles->hideAll();
    ExportDialog dialog;
    dialog.caption = QCoreApplication::translate("MainWindow", "Сохранить как веб-страницу");
    dialog.folder = m_dialogFolders.exports;
    dialog.filter = QCoreApplication::translate("MainWindow", "Веб-страница (*.html)|*.html");
    dialog.outlineName = m_document.state.outlineName;
    dialog.extensionOf = [](int) { return QStringLiteral("html"); };
    dialog.fileFor = [](const QString& chosen, int) { return webPageFileName(chosen); };
    dialog.filterFor = [](const QString&, int) { return 1; };
    const auto choice = chooseExportFile(this, dialog);
    if (!choice)
        return;
    // The page draws the outline again as vectors, at the canvas's size as it stands.
    const QString error = velmar::exportWebPage(m_document, m_canvas->size(), choice->path);
    if (!error.isEmpty())
        throw UserError(error);
}

}  // namespace velmar
