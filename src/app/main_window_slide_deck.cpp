#include "app/export_file_choice.h"
#include "app/main_window.h"
#include "base/user_error.h"
#include "canvas/canvas_widget.h"
#include "canvas/selection_handles.h"
#include "export/slide_deck.h"
#include "platform/dialogs.h"

#include <QCoreApplication>

namespace velmar {

// --- save as slide deck ------------------------------------------------------------------------------

namespace {

// The deck types of the dialog's filters: PowerPoint (1) and OpenDocument (2).
QString deckExtension(int filterIndex) { return filterIndex == 2 ? QStringLiteral("odp") : QStringLiteral("pptx"); }

int deckFilterOf(const QString& file, int filterIndex)
{
    if (file.endsWith(QLatin1String(".odp"), Qt::CaseInsensitive))
        return 2;
    if (file.endsWith(QLatin1String(".pptx"), Qt::CaseInsensitive))
        return 1;
    return filterIndex;
}

}  // namespace

void MainWindow::exportSlideDeck()
{
    m_handles->hideAll();
    ExportDialog dialog;
    dialog.caption = QCoreApplication::translate("MainWindow", "Сохранить как презентацию");
    dialog.folder = m_dialogFolders.exports;
    dialog.filter = QCoreApplication::translate("MainWindow", "Презентация PowerPoint (*.pptx)|*.pptx|"
                                                              "Презентация OpenDocument (*.odp)|*.odp");
    dialog.outlineName = m_document.state.outlineName;
    dialog.extensionOf = deckExtension;
    // A name typed with either deck's extension is written as that deck; any other name gets the
    // chosen filter's extension.
    dialog.fileFor = [](const QString& chosen, int filterIndex) {
        return isSlideDeckName(chosen) ? chosen : chosen + QLatin1Char('.') + deckExtension(filterIndex);
    };
    dialog.filterFor = deckFilterOf;
    const auto choice = chooseExportFile(this, dialog);
    if (!choice)
        return;
    // The deck lays the outline out again at the canvas's size as it stands.
    const QString error = velmar::exportSlideDeck(m_document, m_canvas->size(), choice->path);
    if (!error.isEmpty())
        throw UserError(error);
}

}  // namespace velmar
