#include "app/export_file_choice.h"

#include "model/file_name_proposal.h"
#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace velmar {

std::optional<ExportChoice> chooseExportFile(QWidget* parent, const ExportDialog& dialog)
{
    QString folder = dialog.folder;
    int filterIndex = dialog.filterIndex;
    const QString base = proposedFileName(dialog.outlineName);
    QString name = base.isEmpty() ? QString() : base + QLatin1Char('.') + dialog.extensionOf(filterIndex);
    for (;;) {
        // The dialog must not ask about the name typed: the file written may have another one.
        const auto choice = dialogs().saveFile(parent, dialog.caption, folder, dialog.filter, name, filterIndex, false);
        if (!choice || choice->path.isEmpty())
            return std::nullopt;
        ExportChoice chosen;
        chosen.path = dialog.fileFor(choice->path, choice->filterIndex);
        chosen.filterIndex = dialog.filterFor(chosen.path, choice->filterIndex);
        const QFileInfo target(chosen.path);
        if (!target.exists())
            return chosen;
        const QMessageBox::StandardButton answer = dialogs().ask(
            parent, QCoreApplication::translate("ExportFile", "Подтверждение"),
            QCoreApplication::translate("ExportFile", "%1 уже существует. Заменить его?").arg(target.fileName()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Question);
        if (answer == QMessageBox::Yes)
            return chosen;
        // Another name, then: the dialog comes back where the user was.
        folder = target.absolutePath();
        name = target.fileName();
        filterIndex = chosen.filterIndex;
    }
}

}  // namespace velmar
