#pragma once

class QAction;
class QMenu;

namespace velmar::paint {

// The graphic editor's menus, menu items and frame pop-up items as typed members. The window's
// code reaches every command through its member, so a misspelt name cannot turn into a null
// pointer at run time; the objectNames set on them are for tests and reports.
struct PaintCommands {
    QMenu* fileMenu = nullptr;
    QAction* newPicture = nullptr;
    QAction* open = nullptr;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* exit = nullptr;

    QMenu* editMenu = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* selectAll = nullptr;
    QAction* copyToFile = nullptr;
    QAction* pasteFromFile = nullptr;

    QMenu* helpMenu = nullptr;
    QAction* help = nullptr;
    QAction* about = nullptr;

    // The items of the selection frame's pop-up menu.
    QAction* popupCut = nullptr;
    QAction* popupCopy = nullptr;
    QAction* popupPaste = nullptr;
    QAction* popupPasteFromFile = nullptr;
    QAction* popupCopyToFile = nullptr;
};

}  // namespace velmar::paint
