#pragma once

#include "canvas/canvas_host.h"
#include "canvas/command_registry.h"
#include "document/document_controller.h"
#include "document/editor_session.h"
#include "storage/history.h"
#include "storage/load_result.h"
#include "system/working_folders.h"

#include <QMainWindow>

#include <memory>
#include <span>

class QMenu;
class QTimer;
class QToolBar;

namespace velmar {

// A text being typed has the keyboard (main_window_input.cpp): the keys and commands on the
// selected objects leave it alone.
bool typingText();

struct IncomingPicture;
struct PastedPicture;

class CanvasWidget;
class CanvasController;
class AboutDialog;
class OutlinePrinting;
class OutlineView;
class SelectionHandles;
class FilmCommands;
class AppearanceCommands;
class FrameTitles;
class MinimalTextCommands;
class SequenceCommands;
class SequenceOverlay;
class RecentOutlines;
class FindBar;
namespace paint {
class PaintWindow;
}

// What start-up needs from outside: where the program and its files are.
struct StartupOptions {
    QString documentPath;        // outline named on the command line, or empty
    QString programPath;         // the running executable, for the file association
    QString programFolder;       // working folders and snapshots
    QString startFolder;         // the folder the program was started in
    QString dataHome;            // the user's XDG data folder (file association); empty = skip it
    QStringList systemDataDirs;  // where an installed package's entries would be; empty = none
    QString settingsFile;        // the user's settings (recent outlines); empty = kept for this run only
};

// The main window: menus, tool bar, pop-up menus and the canvas of the open outline.
class MainWindow : public QMainWindow, public CanvasHost, private DocumentWindow {
    Q_OBJECT
public:
    static constexpr int kInitialWidth = kDefaultWindowSize.width();
    static constexpr int kInitialHeight = kDefaultWindowSize.height();
    // The smallest inner size of the window: menus, tool bar and a canvas to work on.
    static constexpr int kMinimumWidth = 320;
    static constexpr int kMinimumHeight = 240;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The creation steps: document defaults, file association, working folders, dialog folders,
    // the interrupted-work question and the outline to open.
    // False when the program folder cannot be trusted with the history (the user has been told
    // why): the program must end.
    bool startUp(const StartupOptions& options);

    OpenOutline& document() override { return m_document; }
    const OpenOutline& document() const { return m_document; }
    DocumentController& documents() override { return *m_documents; }
    CanvasWidget* canvas() const { return m_canvas; }
    OutlineView* outlineView() const { return m_view; }
    SelectionHandles* selectionHandles() const { return m_handles; }
    CanvasController* canvasController() const { return m_controller; }
    FilmCommands* videoCommands() const { return m_videoCommands; }
    // The find and replace bar, made on first use.
    FindBar* findBar();
    // The graphic editor window, once a picture has been edited (it lives for the rest of the run).
    paint::PaintWindow* paintWindow() const { return m_paintWindow; }
    const DialogFolders& dialogFolders() const override { return m_dialogFolders; }

    const CommandRegistry& commands() const override { return m_commands; }
    QAction* command(Command id) const { return m_commands.action(id); }
    QMenu* popupMenu(Menu id) const { return m_commands.menu(id); }
    // A command of the window by its component name (menu item, tool button or pop-up item) or
    // its typed id's name, for reports and tests that read names.
    QAction* command(const QString& name) const { return m_commands.named(name); }
    // Every menu, item and button of the window: where it sits, what it runs, what its state
    // follows.
    static std::span<const CommandRow<MainWindow>> commandTable();
    QWidget* dialogParent() override { return this; }

    void redrawOverlays() override;
    // Shows every command's enabled and checked state (and the grid items' captions) as the
    // document has it; run after every change signal and every command.
    void showCommandStates() override;
    void repaintIfPending() override;

    // Snaps the outline to the grid and shows the result.
    void snapOutline();

    // The session is ending (SIGTERM, SIGHUP): the program ends without asking anything. An
    // outline that matches its file leaves no interrupted work; unsaved work keeps its history,
    // which the next start offers to recover, as after a crash.
    void endForSignal();

    // Makes the outer (frame) size of the window w × h, as far as the screen allows, keeping the
    // frame margins in mind; a window not framed yet gets the size again once it is framed.
    void setOuterSize(int w, int h);
    // The window's outer size: inner size and frame margins, or the size asked for while the
    // window is not framed yet.
    QSize outerSize() const;

signals:
    // The outline was replaced as a whole (opened, or rebuilt by undo/redo): every widget is new.
    void outlineReplaced();
    // The open command was run (before the outline is chosen or read).
    void openCommandRun();

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Menus, tool bar and pop-up menus from the command table, their handlers connected.
    void buildCommands();
    // The frame around the selection: the black set's frame, or the frame chosen last.
    ObjectId chosenFrame() const;
    // Commands and views of the appearance, titles, minimal texts, sequences and overlays.
    void installOutlineFeatures();
    // Video fragments: players, their commands and the full-screen video window.
    void installVideoFeatures();
    // Starts the show at the step where startAt appears (0: the start); see main_window_films.cpp.
    void startShow(ObjectId startAt);
    // Shortcuts for New and Open, recent outlines, drops, pasted pictures, keys on the selection
    // (main_window_input.cpp).
    void installOutsideInput();
    void pastePicture();
    void takeDrop(const QString& file, const PastedPicture& picture, QPoint canvasPoint);
    // Places a picture brought in at a point of the canvas, or says why it cannot.
    void takePicture(const IncomingPicture& in, QPoint canvasPoint);
    // The pointer's canvas point when it is over the canvas, otherwise fallback.
    QPoint canvasPointerOr(QPoint fallback) const;
    // Copy, cut, paste and duplicate of objects through the system clipboard
    // (main_window_clipboard.cpp); fromPopup: an object's pop-up menu asked, for the object it was
    // opened for. Paste goes to the pointer, or from a pop-up menu to where it was opened (in the
    // frame whose menu it was, when inFrame).
    void copyObjects(bool fromPopup);
    void cutObjects(bool fromPopup);
    void pasteObjects(bool fromPopup, bool inFrame = false);
    void duplicateObjects(bool fromPopup);
    // The views of the document follow the document controller's signals.
    void connectDocumentViews();
    void exitProgram();
    void setOutlineCaption();
    void setZoom(bool on);
    void rescaleToWindow();

    // What the document controller asks of the window.
    DocumentQuestions& questions() override;
    QSize canvasSize() const override;
    QSize windowChrome() const override;
    void sizeOutlineToWindow() override;
    bool fitOpenedOutline() override;
    bool showsOpenedLayout() const override;

    // Window size (main_window_size.cpp).
    void initWindowSize();
    // Gives an opened outline's window the outer size its file stores (leaving a maximised
    // window maximised), on the screen.
    void showOutlineWindow(QSize storedOuter) override;
    // An old-format outline made on a larger screen: the window is maximised and the outline
    // scaled down from the file's canvas.
    void maximizeForImportIfLarger(QSize storedOuter) override;
    // Learns the frame margins once the window manager has framed the window, and then gives the
    // window the outer size asked for.
    void checkFrameMargins();
    // Moves the window (and shrinks it where needed) onto the screen's available area.
    void keepOnScreen();
    // The window's size (or inner) is the one the program asked for, not the user's resizing.
    bool isOwnResize(QSize inner = QSize()) const;
    // The window is not painted at a size it is about to leave for one the program set itself:
    // it is painted once, when its canvas has the new size, or after a moment without it.
    void holdPaintingUntilResized();
    void resumePainting();
    // The frame the window manager puts around the window (none before it is framed).
    QMargins frameMarginsNow() const;
    // Once the user has resized the window, the outline keeps the window's present size.
    void followWindowSize() override;
    // The canvas an opened outline will be shown on: the canvas itself once the window has its
    // size, else the canvas it was made for less what the screen takes off the stored window.
    QSize expectedCanvas(QSize madeFor) const;
    // The window's size changed by the program's doing (framed, clamped) while the outline is
    // shown as opened: it is scaled into the canvas it got.
    void refitOpenedOutline();
    // The outline keeps its own layout in a window of this canvas (maximised, smaller than its
    // own), shown whole at one scale.
    bool keepsOwnLayout(QSize canvas) const;
    // Shows an outline that keeps its own layout whole in a canvas of this size.
    void refitOwnLayout(QSize canvas);

    // Commands.
    void setEditMode(bool on);
    void exportPicture();
    void exportWebPage();
    // "Создать...": a new outline from a choice of the empty one, the built-in template and the
    // user's templates; "Сохранить как шаблон...": the outline becomes one of those templates.
    void newFromTemplate();
    void saveAsTemplate();
    void exportSlideDeck();
    // "Редактировать": the graphic editor on the current picture; and its closing hand-over.
    void editPicture();
    void finishPictureEdit(const QImage& picture, bool modified);
    void showHelp();
    void showAbout();
    void setGrid(bool on);
    // The commands' states follow the document's change signals and every command.
    void followCommandStates();
    void growGrid();
    void shrinkGrid();
    void updateGridCaptions();

    OpenOutline m_document;
    CommandRegistry m_commands;
    std::unique_ptr<DocumentQuestions> m_documentQuestions;
    DocumentController* m_documents = nullptr;
    CanvasWidget* m_canvas = nullptr;
    OutlineView* m_view = nullptr;
    SelectionHandles* m_handles = nullptr;
    CanvasController* m_controller = nullptr;
    FilmCommands* m_videoCommands = nullptr;
    QToolBar* m_toolBar = nullptr;
    AboutDialog* m_about = nullptr;
    OutlinePrinting* m_printing = nullptr;
    DialogFolders m_dialogFolders;
    int m_exportFilterIndex = 1;  // the type "Сохранить как рисунок" wrote last
    bool m_adjustingSize = false;
    QSize m_wantedOuter;          // the outer size the program asked for, until the user resizes
    QSize m_expectedInner;        // the inner size of the program's own last resize, until it arrives
    bool m_marginsKnown = false;  // the window manager has framed the window
    bool m_maximizedForImport = false;
    bool m_sizeFollowsWindow = false;    // the user resized the window since the outline was opened
    bool m_showsOpenedLayout = false;    // the opened outline was scaled by the program alone
    QSize m_storedOuter;                 // the outer size the opened outline's file keeps
    bool m_referenceFromWindow = false;  // the stored window was too small to scale from
    bool m_fittedAtOpen = false;         // the opened outline was scaled into a window unlike its own
    QSize m_layoutCanvas;                // the canvas the outline was fitted to before the window got it
    QTimer* m_marginTimer = nullptr;
    QTimer* m_paintHoldTimer = nullptr;  // paints a window whose canvas did not follow its new size
    bool m_paintHeld = false;
    qint64 m_marginWaitStart = 0;
    // Appearance, deletion, frame titles, minimal texts, sequences and their overlays.
    AppearanceCommands* m_appearance = nullptr;
    FrameTitles* m_frameTitles = nullptr;
    MinimalTextCommands* m_minimalTexts = nullptr;
    SequenceCommands* m_sequences = nullptr;
    SequenceOverlay* m_overlay = nullptr;
    FindBar* m_findBar = nullptr;
    // The graphic editor, the picture it edits and that picture as it arrived.
    paint::PaintWindow* m_paintWindow = nullptr;
    ObjectId m_editedPicture = 0;
    QImage m_pictureBeforeEdit;
    RecentOutlines* m_recent = nullptr;
};

}  // namespace velmar
