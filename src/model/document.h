#pragma once

#include "model/outline.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <map>
#include <set>

namespace velmar {

// The main window's outer size for a new outline, and for an outline file that stores none.
inline constexpr QSize kDefaultWindowSize{744, 546};
// The tool bar's band at the top of the canvas: canvas coordinates count from above it, so the
// objects of a new outline start below it.
inline constexpr int kToolBarHeight = 31;

// What an outline file keeps beside its objects, and which file that is.
struct DocumentState {
    QString outlineName = QStringLiteral("Новый");
    ColourValue canvasColour = kButtonFace;
    QSize windowSize = kDefaultWindowSize;  // the main window's outer size, as outline files store it
    bool modified = false;                  // changed since it was last saved or opened
    bool hasFileName = false;               // the outline has a file name
    QString fileName;                       // the outline's file; at start-up, the file to open
};

// The undo history's position.
struct HistoryState {
    int currentStep = -1;  // -1 before the first step of an outline
    int highestStep = 0;
    int savedStep = -1;  // the step last saved or opened; -1 = none
    int firstStep = 0;   // undo goes back no further (1 when step 0 is the opened file unadjusted)
    // Set by the history alone, after a step whose snapshot could not be written: the objects of
    // the next step cannot be told from the last ones written down, so it is written complete.
    bool nextStepComplete = false;
    // The file the outline was just read from: when it holds exactly what the next complete step
    // would write, that step links to it instead of writing a copy. Cleared by every step.
    QString openedFile;
    QString folder;  // where the snapshots go; empty = this instance's history folder
    // The objects as each step left them, for what the snapshot files cannot hold.
    std::map<int, Outline> stepObjects;
    // Steps whose snapshot could not be written: undo and redo pass over them.
    std::set<int> unwrittenSteps;
};

// Which reading-order overlay is drawn over the canvas.
enum class OrderOverlay { None, Frames, Objects };

// The switch of the tool bar and the settings menu that the object chosen last offers: a frame
// its title, a picture its stretching.
enum class ObjectSwitch { None, FrameTitle, PictureStretch };

// The editor's switches for this run: none of them is saved with the outline.
struct SessionState {
    QString programFolder;  // base of the working folders and the snapshots
    bool editMode = true;   // objects can be moved and sized
    bool gridOn = true;     // every change snaps the outline to the grid
    int gridStep = 2;
    bool zoomOn = true;           // the outline scales with the window
    bool repaintPending = false;  // an overlay was drawn over the canvas and waits to be erased
    OrderOverlay overlay = OrderOverlay::None;
    // New or Open made an outline that Close has not ended: the settings and the switches act on it.
    bool outlineOpen = false;
    // There is work to save, export or close: every change sets it, Close clears it.
    bool workToSave = false;
};

// What the last mouse presses chose: the target of every pop-up command.
struct InteractionState {
    ObjectId currentObject = 0;
    ObjectId currentCompanion = 0;  // the frame, picture or video fragment whose title, image or
                                    // player was pressed last
    ObjectId outerSelection = 0;    // framed by the black handles
    ObjectId innerSelection = 0;    // framed by the blue handles
    QPoint creationPoint;           // where the next object from a pop-up menu goes
    int selectedArrow = 0;          // arrow slot, 0 = none
    // The switch the object chosen last offers (the settings menu's item follows it) ...
    ObjectSwitch offeredSwitch = ObjectSwitch::None;
    // ... and whether the tool bar's switch buttons follow it too: a change or a step turns them
    // off until the next press.
    bool switchButtonsOn = false;
    // Moving the chosen object earlier or later in the reading order is offered (an overlay is
    // on and a selection is shown).
    bool orderButtonsOn = false;
};

// One open outline: what its file keeps (objects, document values, history position) and the
// editing session around it (switches, what the mouse chose).
struct Document {
    Outline outline;
    DocumentState state;
    HistoryState history;
    SessionState session;
    InteractionState interaction;
};

}  // namespace velmar
