#pragma once

#include "model/document.h"
#include "model/object_group.h"

#include <QPoint>
#include <QString>

namespace velmar {

// The editing session around an open outline: what this run of the editor has switched and what
// the mouse chose. None of it is saved with the outline or kept by the history, so the model's
// Document does not hold it; only the code that edits through the window includes this header.

// Which reading-order overlay is drawn over the canvas.
enum class OrderOverlay { None, Frames, Objects };

// The switch of the tool bar and the settings menu that the object chosen last offers: a frame
// its title, a picture its stretching.
enum class ObjectSwitch { None, FrameTitle, PictureStretch };

// The editor's switches for this run.
struct SessionState {
    bool editMode = true;  // objects can be moved and sized
    bool gridOn = true;    // every change snaps the outline to the grid
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
    // Several objects chosen at once (Ctrl/Shift+click, a rubber band, select all): moved,
    // aligned, copied and deleted together. Empty when one object or none is chosen.
    ObjectGroup group;

    // After undo or redo: no selection survives the step, and when the objects were replaced by
    // loaded ones, nothing chosen does.
    void dropSelection(bool objectsReplaced)
    {
        outerSelection = 0;
        innerSelection = 0;
        selectedArrow = 0;
        group.clear();
        if (objectsReplaced) {
            currentObject = 0;
            currentCompanion = 0;
        }
    }
};

// One outline open in the editor: its document and the session around it.
struct OpenOutline : Document {
    SessionState session;
    InteractionState interaction;
};

}  // namespace velmar
