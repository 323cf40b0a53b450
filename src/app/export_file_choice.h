#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace velmar {

// A save dialog for a file the outline is exported to, whose type the name's extension decides.
struct ExportDialog {
    QString caption;
    QString folder;
    QString filter;       // "Description (*.ext)|*.ext|…", as Dialogs takes it
    QString outlineName;  // the proposed name is made from it
    int filterIndex = 1;  // the filter selected at first (1-based)
    // The extension (no dot) the filter of a 1-based index writes.
    std::function<QString(int filterIndex)> extensionOf;
    // The file written for a name chosen with a filter (the typed extension, or the filter's
    // added), and the filter that file's type belongs to.
    std::function<QString(const QString& chosen, int filterIndex)> fileFor;
    std::function<int(const QString& file, int filterIndex)> filterFor;
};

struct ExportChoice {
    QString path;         // the file that is to be written
    int filterIndex = 1;  // the filter of its type
};

// Proposes the outline's name with the selected filter's extension, and asks "… уже
// существует. Заменить его?" about the file that will actually be written when it exists ("Нет"
// opens the dialog again with that name). nullopt when the user cancelled.
std::optional<ExportChoice> chooseExportFile(QWidget* parent, const ExportDialog& dialog);

}  // namespace velmar
