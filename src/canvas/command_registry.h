#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMenu;

namespace velmar {

// The main window's command surface, typed: code acts on these members. A menu item and a tool
// button that always do the same thing (and are enabled together) share one action; the others
// are separate actions whose check marks are set from one state by one function.
struct CommandRegistry {
    // File.
    QAction* newOutline = nullptr;      // menu item and tool button
    QAction* open = nullptr;            // menu item and tool button
    QAction* saveItem = nullptr;
    QAction* saveButton = nullptr;      // disabled on its own once the outline is saved or opened
    QAction* saveAs = nullptr;          // menu item and tool button
    QAction* exportPicture = nullptr;   // menu item and tool button
    QAction* print = nullptr;           // enabled with exportPicture
    QAction* printPreview = nullptr;    // enabled with exportPicture
    QAction* close = nullptr;
    QAction* exit = nullptr;
    // History.
    QAction* undo = nullptr;            // menu item and tool button
    QAction* redo = nullptr;            // menu item and tool button
    // Service.
    QAction* summary = nullptr;         // menu item and tool button
    QAction* frameOverlayItem = nullptr;
    QAction* objectOverlayItem = nullptr;
    QAction* frameOverlayButton = nullptr;
    QAction* objectOverlayButton = nullptr;
    QAction* moveEarlierItem = nullptr;
    QAction* moveLaterItem = nullptr;
    QAction* moveEarlierButton = nullptr;
    QAction* moveLaterButton = nullptr;
    QAction* present = nullptr;         // menu item and tool button
    // Settings.
    QAction* settingsMenu = nullptr;    // the whole "Настройки" menu
    QAction* canvasColourItem = nullptr;
    QAction* canvasColourButton = nullptr;
    QAction* canvasColourPopupItem = nullptr;
    QAction* resetCanvasColour = nullptr;
    QAction* editModeItem = nullptr;
    QAction* editModeButton = nullptr;
    QAction* frameTitlesItem = nullptr;
    QAction* frameTitlesButton = nullptr;
    QAction* frameTitlePopupItem = nullptr;
    QAction* stretchSettingsItem = nullptr;
    QAction* stretchButton = nullptr;
    QAction* stretchPopupItem = nullptr;
    QAction* zoomItem = nullptr;
    QAction* zoomButton = nullptr;
    QAction* gridItem = nullptr;
    QAction* gridButton = nullptr;
    QAction* growGrid = nullptr;
    QAction* shrinkGrid = nullptr;
    // Help.
    QAction* help = nullptr;            // menu item and tool button
    QAction* webHelp = nullptr;
    QAction* about = nullptr;
    // Picture border check marks.
    QAction* pictureBorderNone = nullptr;
    QAction* pictureBorderSingle = nullptr;
    // Video player buttons switch.
    QAction* playerButtons = nullptr;

    // The pop-up menus of the canvas and of each kind of object.
    QMenu* canvasMenu = nullptr;
    QMenu* frameMenu = nullptr;
    QMenu* pictureMenu = nullptr;
    QMenu* videoMenu = nullptr;
    QMenu* captionMenu = nullptr;
    QMenu* arrowMenu = nullptr;
    QMenu* textFieldMenu = nullptr;

    // Every component name (menu items, tool buttons, pop-up items, submenus) and its action;
    // a shared action is found under both names. For tests and reports only: code uses the
    // members above.
    QHash<QString, QAction*> byName;
    QHash<QString, QMenu*> menusByName;

    QAction* named(const QString& name) const { return byName.value(name); }
    QMenu* menuNamed(const QString& name) const { return menusByName.value(name); }
};

}  // namespace velmar
