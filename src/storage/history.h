#pragma once

#include "model/document.h"
#include "storage/load_result.h"

#include <QSize>
#include <QString>

namespace velmar {

// The snapshot history of an outline. Every change ends with a step: step N is written as
// tempN.tm1 (a complete outline file, StepKind::Full) or tempN.tm2 (the header record alone,
// StepKind::HeaderOnly) in this instance's history folder. Undo and redo move
// the step pointer and rebuild the outline from the snapshot of the step they reach.

// What a step's snapshot must hold, chosen by the change that records it. Full: objects were
// created, deleted or replaced, or a picture's bitmap changed, which the header record cannot
// bring back. HeaderOnly: objects kept their set and pictures, and only what the header record
// holds changed (places, sizes, texts, colours, sequences, arrows). The history writes a complete
// snapshot on its own where a header would not do: the first step of an outline, and the step
// after one whose snapshot could not be written.
enum class StepKind { Full, HeaderOnly };

struct HistoryResult {
    bool ok = true;
    QString message;        // when !ok: what went wrong, in Russian, naming the file; when ok: a
                            // warning to show (pictures of a snapshot that could not be read) or empty
    bool reloaded = false;  // the outline was replaced by a loaded one: rebuild every widget
    // The document values of the step reached (also stored in doc.state), for the window.
    QString outlineName;
    ColourValue canvasColour = kButtonFace;
    QSize windowSize;
};

// The folder that receives this document's snapshots.
QString snapshotFolder(const Document& doc);

// Records a step after a change: modified := true, N := N + 1, the snapshot of step N written
// (complete or header-only, as `kind` and the rules above say), H := N.
// Snapshots of abandoned steps above N and the other kind's file of step N are removed first, so
// that a stale file can never be restored. A failed write is reported; the step has moved all the
// same, and the next step is written in full again.
HistoryResult recordStep(Document& doc, StepKind kind);

// Starts a new history for a new or just opened outline: every snapshot of this instance is
// deleted, N := −1 and a full step 0 is recorded (H = 0). The caller decides the modified flag and
// savedStep afterwards (New keeps the outline modified; Open calls markSaved).
HistoryResult startHistory(Document& doc);

// The step now shown is the one in the file: modified := false, savedStep := N.
void markSaved(Document& doc);

bool canUndo(const Document& doc);
bool canRedo(const Document& doc);

// Move one step back or forth and rebuild the outline as it was at that step: from the step's full
// snapshot; or, when the set of objects changes between this step and the next, from the nearest
// full snapshot below with this step's header applied; otherwise by applying this step's header
// to the present objects. A snapshot that is missing, refused or does not fit the objects changes
// nothing: the step pointer stays where it was and the message says why. The modified flag is
// clear exactly when the step reached is the one last saved or opened. The history knows no
// window: as a reader does, it gives the outline the canvas the step's stored window size leaves
// in the usual frame (defaultWindowChrome); a window with another frame gives the outline its own
// canvas afterwards from the result's windowSize.
HistoryResult undo(Document& doc);
HistoryResult redo(Document& doc);

// Work recovered after a crash: the complete snapshot of `step` was loaded into `loaded`; the
// header-only snapshots of the steps after it (moves, texts, colours made since) are applied to
// it in order, as far as they go, so that nothing done before the crash is lost. Returns the last
// step applied.
int applyLaterSteps(LoadResult& loaded, const QString& folder, int step);

// Deletes every snapshot of this document's history folder (steps 0..1000 and any above).
void cleanUp(const Document& doc);

}  // namespace velmar
