#pragma once

#include "model/outline.h"
#include "model/window_layout.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <map>
#include <set>

namespace velmar {

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
    QString folder;         // where the snapshots go; empty = this instance's history folder
    QString programFolder;  // base of the working folders and of this instance's history folder
    // The objects as each step left them, for what the snapshot files cannot hold.
    std::map<int, Outline> stepObjects;
    // Steps whose snapshot could not be written: undo and redo pass over them.
    std::set<int> unwrittenSteps;
};

// One outline as its file and its history hold it: the objects, the document values and the
// history's position. The editing session around an open outline (switches, what the mouse chose)
// is in document/editor_session.h.
struct Document {
    Outline outline;
    DocumentState state;
    HistoryState history;
};

}  // namespace velmar
