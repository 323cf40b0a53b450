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
    QAction* newOutline = nullptr;  // menu item and tool button
    QAction* open = nullptr;        // menu item and tool button
    QAction* saveItem = nullptr;
    QAction* saveButton = nullptr;     // disabled on its own once the outline is saved or opened
    QAction* saveAs = nullptr;         // menu item and tool button
    QAction* exportPicture = nullptr;  // menu item and tool button
    QAction* exportWebPage = nullptr;  // enabled with exportPicture
    QAction* print = nullptr;          // enabled with exportPicture
    QAction* printPreview = nullptr;   // enabled with exportPicture
    QAction* close = nullptr;
    QAction* exit = nullptr;
    // History.
    QAction* undo = nullptr;  // menu item and tool button
    QAction* redo = nullptr;  // menu item and tool button
    // Service.
    QAction* summary = nullptr;  // menu item and tool button
    QAction* frameOverlayItem = nullptr;
    QAction* objectOverlayItem = nullptr;
    QAction* frameOverlayButton = nullptr;
    QAction* objectOverlayButton = nullptr;
    QAction* moveEarlierItem = nullptr;
    QAction* moveLaterItem = nullptr;
    QAction* moveEarlierButton = nullptr;
    QAction* moveLaterButton = nullptr;
    QAction* present = nullptr;  // menu item and tool button
    // Settings.
    QAction* settingsMenu = nullptr;  // the whole "Настройки" menu
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
    QAction* help = nullptr;  // menu item and tool button
    QAction* webHelp = nullptr;
    QAction* about = nullptr;

    // Pop-up items of the canvas: creating objects on it.
    QAction* createFrame = nullptr;
    QAction* createPictureOnCanvas = nullptr;
    QAction* createCaptionOnCanvas = nullptr;
    QAction* createArrow = nullptr;
    QAction* createVideoOnCanvas = nullptr;
    // Pop-up items of a frame.
    QAction* createPicture = nullptr;
    QAction* createCaption = nullptr;
    QAction* createTextField = nullptr;
    QAction* createVideo = nullptr;
    QAction* frameMinimalText = nullptr;
    QAction* renameFrame = nullptr;
    QAction* frameColour = nullptr;
    QAction* frameTitleColour = nullptr;
    QAction* resetFrameColours = nullptr;
    QAction* innerBevelNone = nullptr;
    QAction* innerBevelLowered = nullptr;
    QAction* innerBevelRaised = nullptr;
    QAction* borderLineNone = nullptr;
    QAction* borderLineSingle = nullptr;
    QAction* outerBevelNone = nullptr;
    QAction* outerBevelLowered = nullptr;
    QAction* outerBevelRaised = nullptr;
    QAction* deleteFrame = nullptr;
    // Pop-up items of a picture.
    QAction* editPicture = nullptr;
    QAction* openPicture = nullptr;
    QAction* pictureLater = nullptr;
    QAction* pictureEarlier = nullptr;
    QAction* pictureMinimalText = nullptr;
    QAction* pictureFullScreen = nullptr;
    QAction* pictureBorderNone = nullptr;    // check mark
    QAction* pictureBorderSingle = nullptr;  // check mark
    QAction* deletePicture = nullptr;
    // Pop-up items of a video fragment.
    QAction* openVideoFile = nullptr;
    QAction* videoMinimalText = nullptr;
    QAction* playerButtons = nullptr;  // the player's button bar switch
    QAction* videoFullScreen = nullptr;
    QAction* playVideo = nullptr;
    QAction* pauseVideo = nullptr;
    QAction* stopVideo = nullptr;
    QAction* deleteVideo = nullptr;
    // Pop-up items of a caption.
    QAction* captionFont = nullptr;
    QAction* captionText = nullptr;
    QAction* captionColour = nullptr;
    QAction* resetCaptionColours = nullptr;
    QAction* deleteCaption = nullptr;
    // Pop-up items of an arrow.
    QAction* arrowColour = nullptr;
    QAction* arrowThicker = nullptr;
    QAction* arrowThinner = nullptr;
    QAction* deleteArrow = nullptr;
    // Pop-up items of a text field.
    QAction* textFieldFont = nullptr;
    QAction* alignLeft = nullptr;
    QAction* alignCentre = nullptr;
    QAction* alignRight = nullptr;
    QAction* fitTextField = nullptr;
    QAction* textFieldMinimalText = nullptr;
    QAction* textFieldColour = nullptr;
    QAction* resetTextFieldColours = nullptr;
    QAction* deleteTextField = nullptr;

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
