#pragma once

#include "model/outline.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <map>
#include <set>

namespace velmar {

// Values that belong to the open outline as a whole.
struct DocumentState {
    QString outlineName = QStringLiteral("Новый");
    ColourValue canvasColour = kButtonFace;
    QSize windowSize{744, 546};  // the main window's outer size, as outline files store it
    bool modified = false;
    bool hasFileName = false;   // the outline has a file name
    QString fileName;           // the outline's file; at start-up, the file to open
    bool directOpen = false;    // Open takes fileName without showing a dialog
    QString programFolder;      // base of the working folders and the snapshots
    bool fullSnapshot = true;   // the next history step writes a complete outline file
    bool repaintPending = false;
    bool editMode = true;
    int gridStep = 2;
};

// The undo history's position.
struct HistoryState {
    int currentStep = -1;  // -1 before the first step of an outline
    int highestStep = 0;
    int savedStep = -1;    // the step last saved or opened; -1 = none
    QString folder;        // where the snapshots go; empty = this instance's history folder
    // The objects as each step left them, for what the snapshot files cannot hold.
    std::map<int, Outline> stepObjects;
    // Steps whose snapshot could not be written: undo and redo pass over them.
    std::set<int> unwrittenSteps;
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

// One open outline: its objects, document values, history position and interaction state.
struct Document {
    Outline outline;
    DocumentState state;
    HistoryState history;
    InteractionState interaction;
};

}  // namespace velmar
