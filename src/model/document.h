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

// What an outline file keeps beside its objects, and which file that is.
struct DocumentState {
    QString outlineName = QStringLiteral("Новый");
    ColourValue canvasColour = kButtonFace;
    QSize windowSize = kDefaultWindowSize;  // the main window's outer size, as outline files store it
    bool modified = false;       // changed since it was last saved or opened
    bool hasFileName = false;    // the outline has a file name
    QString fileName;            // the outline's file; at start-up, the file to open
};

// The undo history's position.
struct HistoryState {
    int currentStep = -1;  // -1 before the first step of an outline
    int highestStep = 0;
    int savedStep = -1;    // the step last saved or opened; -1 = none
    // Set by the history alone, after a step whose snapshot could not be written: the objects of
    // the next step cannot be told from the last ones written down, so it is written complete.
    bool nextStepComplete = false;
    // The file the outline was just read from: when it holds exactly what the next complete step
    // would write, that step links to it instead of writing a copy. Cleared by every step.
    QString openedFile;
    QString folder;        // where the snapshots go; empty = this instance's history folder
    // The objects as each step left them, for what the snapshot files cannot hold.
    std::map<int, Outline> stepObjects;
    // Steps whose snapshot could not be written: undo and redo pass over them.
    std::set<int> unwrittenSteps;
};

// The editor's switches for this run: none of them is saved with the outline.
struct SessionState {
    QString programFolder;       // base of the working folders and the snapshots
    bool directOpen = false;     // Open takes the document's fileName without showing a dialog
    bool editMode = true;        // objects can be moved and sized
    bool gridOn = true;          // every change snaps the outline to the grid
    int gridStep = 2;
    bool zoomOn = true;          // the outline scales with the window
    bool repaintPending = false; // an overlay was drawn over the canvas and waits to be erased
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
