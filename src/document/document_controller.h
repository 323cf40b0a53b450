#pragma once

#include "document/document_questions.h"
#include "document/editor_session.h"
#include "storage/file_stamp.h"
#include "storage/history.h"
#include "storage/load_result.h"
#include "storage/outline_lock.h"
#include "system/working_folders.h"

#include <QObject>
#include <QSize>

#include <optional>

namespace velmar {

// What the document commands need from the window that shows the outline: its questions to the
// user, the canvas's size and the window's outer size, which outline files store.
class DocumentWindow {
public:
    virtual ~DocumentWindow() = default;
    virtual DocumentQuestions& questions() = 0;
    virtual const DialogFolders& dialogFolders() const = 0;
    virtual QSize canvasSize() const = 0;
    // The window's outer size minus the canvas: what a stored window size includes beside it.
    virtual QSize windowChrome() const = 0;
    // Gives an opened outline's window the outer size its file stores: called once the views
    // show the opened outline, before it is fitted to the canvas the window gets.
    virtual void showOutlineWindow(QSize storedOuter) = 0;
    // An old-format outline made on a larger screen gets the window maximised.
    virtual void maximizeForImportIfLarger(QSize storedOuter) = 0;
    // Takes the window's present size into the document, once the outline follows the window.
    virtual void followWindowSize() = 0;
    // A new outline is laid out for the window as it is: the window's size becomes the outline's.
    virtual void sizeOutlineToWindow() = 0;
    // Scales an outline just opened from the canvas it was made for into the canvas its window
    // gets on this screen (clamped to a smaller screen, maximised), as the outline zoom does when
    // the window is resized; true when its layout changed.
    virtual bool fitOpenedOutline() = 0;
    // The outline is shown as its file lays it out, scaled to the window only by the program
    // (not resized by the user since it was opened).
    virtual bool showsOpenedLayout() const = 0;
};

// What a new outline starts from: the ten frames of the built-in template, nothing, or the
// objects of a template the user saved (an outline file).
struct OutlineStart {
    enum class Kind { BuiltIn, Empty, Template };
    Kind kind = Kind::BuiltIn;
    QString templateFile;
};

// The open outline's commands and history: New, Open, Save, Save as, Close and the question about
// unsaved changes; the history step, undo and redo; the modified flag. It changes the
// document and says what changed; the views (object widgets, handles, overlays, window title,
// the history buttons) listen to its signals instead of being told one by one.
class DocumentController : public QObject {
    Q_OBJECT
public:
    DocumentController(OpenOutline& document, DocumentWindow& window, QObject* parent = nullptr);

    OpenOutline& document() { return m_document; }

    // Document commands.
    void newOutline(const OutlineStart& start = {});
    // Opens file (after the question about unsaved changes); with no file, the one chosen in a
    // dialog.
    void openOutline(const QString& file = {});
    bool save();
    bool saveAs();
    void closeOutline();
    // Asks about unsaved changes (and saves on "Да"); false when the command is to stop.
    bool settleUnsavedChanges(bool stopAfterSaving);
    // The outline was opened read-only (another Velmar has it open): Save asks for another file.
    bool readOnly() const { return m_readOnly; }
    // Saving now writes the outline as its file held it when opened, not the outline shown: it is
    // unedited since (at the step the opening recorded, not modified) and was only adjusted by the
    // program on the way in (fitted to this window, snapped to the grid, moved out from under the
    // tool bar). Changing the grid afterwards snaps the outline but edits nothing.
    bool savesAsOpened() const;
    // The window came to the front: when the outline's file was replaced on disk (by another
    // Velmar) and nothing here is unsaved, offers to load it again. Asks once per change.
    void offerReloadIfChanged();
    // The window is closing: no step is recorded any more, and the history is removed unless
    // it is kept for recovering unsaved work at the next start.
    void shutDown(bool keepHistory = false);

    // The history step that ends every change: snapping to the grid when it is on, the
    // save commands enabled, the outline marked modified, the step recorded, the reference
    // layout of the zoom taken. The change says what kind of snapshot it needs.
    void recordStep(StepKind kind);
    void undo();
    void redo();

    // Objects changed in place with no history step (a drag under way, grid snapping, zooming):
    // the views follow.
    void objectsEdited();
    // Gives the outline a new canvas colour (recorded or marked by the command that asked).
    void setCanvasColour(ColourValue colour);
    // A change that records no history step but must not be closed without the question.
    void markModifiedWithoutStep();
    // Save is available: the outline differs from its file.
    bool canSave() const;
    // Undo and redo are available: the history has a step to go to and an outline is open.
    bool canUndo() const;
    bool canRedo() const;

signals:
    // The outline was replaced as a whole (opened, or rebuilt by undo/redo): every widget is new.
    void outlineReplaced();
    // The outline is about to be replaced by one being read: the views let go of its pictures.
    // Nothing is drawn before outlineReplaced().
    void outlineLeaving();
    // Objects were added, removed or changed: the views show the outline as it is now.
    void objectsChanged();
    // The outline became modified, or saved.
    void modifiedChanged(bool modified);
    // Undo or redo may have become available or unavailable.
    void historyChanged();
    // A document command ended (whatever it changed): the commands' states are to be shown again.
    void commandEnded();
    // The window caption, which names the outline, is to be shown again.
    void captionChanged();
    // The outline's canvas colour changed.
    void canvasColourChanged();
    // The selection handles are to go (a replaced, emptied or restored outline).
    void selectionHidden();
    // An outline file was opened or saved (not work recovered from the history): for the list
    // of recent outlines.
    void fileUsed(const QString& path);
    // The open command was run, before anything else happens.
    void openCommandRun();

private:
    class ModifiedReport;

    void clearAll();
    // Where the Open and Save As dialogs start: the folder of the outline's file, when it has one.
    QString outlineDialogFolder() const;
    void showError(const QString& text);
    // Puts the outline read into the document without telling the views: they are told once it
    // has its place in the window (outlineReplaced).
    void replaceOutline(LoadResult& loaded);
    // The objects of a template read from its file become the new outline's.
    void takeTemplate(LoadResult& loaded);
    void disableObjectSwitches();
    void applyHistoryResult(const HistoryResult& result);
    // Emits modifiedChanged when the flag differs from what was reported last.
    void reportModified();
    // Writes the outline to its file (the body of Save, once the questions are settled).
    bool writeToFile();
    // Save is about to replace `target`: when the file changed on disk since it was opened or
    // saved here, asks whether to replace it. 1: go on, 0: save under another name, -1: stop.
    int confirmReplacingChanged(const QString& target);
    // The file on disk is the outline's as read or written now: its stamp and, unless read-only,
    // the lock on it.
    void followFile(const QString& path);
    // No file is followed any more (closed, new, recovered work): the lock goes.
    void forgetFile();

    // The outline as its file holds it, while the outline shown is that file's scaled only to fit
    // the window: saving it unedited writes the file's own bytes again.
    struct OpenedOutline {
        Outline outline;
        QSize windowSize;
        int step = 0;
    };
    std::optional<OpenedOutline> m_opened;

    OpenOutline& m_document;
    DocumentWindow& m_window;
    // The file the outline came from or was last saved to, as it was then, and this process's
    // lock on it; a stamp the user declined to reload is not offered again.
    QString m_followedFile;
    FileStamp m_stamp;
    FileStamp m_declinedReload;
    OutlineLock m_lock;
    bool m_readOnly = false;
    bool m_reloading = false;
    // An opened outline is being fitted into the window before its widgets are made: the object
    // widgets still show the outline before, and objectsChanged waits for outlineReplaced.
    bool m_viewsBehind = false;
    bool m_askingReload = false;
    bool m_closing = false;
    bool m_reportedModified = false;
};

}  // namespace velmar
