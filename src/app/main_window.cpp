#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/document_dialogs.h"
#include "app/help.h"
#include "app/recent_outlines.h"
#include "canvas/arrow_geometry.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/grid.h"
#include "model/outline_template.h"
#include "model/text_metrics.h"
#include "model/zoom.h"
#include "platform/command_guard.h"
#include "platform/dialogs.h"
#include "platform/tooltip_wrap.h"
#include "storage/snapshot_files.h"
#include "system/file_association.h"
#include "system/working_folders.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QShowEvent>

#include <cstdio>

namespace velmar {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmar"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/velmar-256.png")));

    m_canvas = new CanvasWidget(this);
    setCentralWidget(m_canvas);

    buildMainMenu();
    buildToolBar();
    buildPopupMenus();

    m_documentQuestions = std::make_unique<DocumentDialogs>(this);
    m_documents = new DocumentController(m_document, *this, this);
    m_view = new OutlineView(m_document, m_canvas);
    m_handles = new SelectionHandles(m_canvas, m_document);
    m_controller = new CanvasController(*this, m_canvas, m_view, m_handles);
    connectDocumentViews();
    connect(m_canvas, &CanvasWidget::resized, this, [this](QSize size) {
        m_document.outline.setClientSize(size);
        // The user's resizing scales the outline by the zoom; sizes the program sets itself (an
        // opened outline's window, its frame margins learnt) fit an outline just opened.
        if (!isOwnResize())
            runGuarded(this, [this] { rescaleToWindow(); });
        else
            runGuarded(this, [this] { refitOpenedOutline(); });
        m_layoutCanvas = QSize();
    });
    connectCommands();
    // Long hints (minimal texts of objects among them) are shown as short paragraphs.
    qApp->installEventFilter(new ToolTipWrapper(this));
    installOutlineFeatures();
    installVideoFeatures();
    installOutsideInput();
    // Last, so that the states are shown after every command's own handler has run.
    followCommandStates();

    initWindowSize();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::command(const QString& name) const { return m_commands.named(name); }

QMenu* MainWindow::popupMenu(const QString& name) const { return m_commands.menuNamed(name); }

bool MainWindow::startUp(const StartupOptions& options)
{
    DocumentState& state = m_document.state;
    SessionState& session = m_document.session;

    if (!options.dataHome.isEmpty()) {
        QFile icon(QStringLiteral(":/icons/velmar-256.png"));
        const QByteArray iconPng = icon.open(QIODevice::ReadOnly) ? icon.readAll() : QByteArray();
        // An installed package registers the types system-wide: the per-user copies would list
        // the program twice under "Open with", so they go. Failures are ignored.
        if (installedSystemWide(options.systemDataDirs))
            removeUserRegistration(options.dataHome);
        else
            registerFileTypes(options.programPath, options.dataHome, iconPng);
    }

    m_document.outline.setSequenceRecording(true);
    session.gridStep = 2;
    state.outlineName = newOutlineName();
    m_document.interaction.outerSelection = 0;
    m_document.interaction.innerSelection = 0;

    m_document.history.programFolder = options.programFolder;
    ensureWorkingFolders(m_document.history.programFolder);
    if (const QString unsafe = unsafeWorkingFolder(m_document.history.programFolder); !unsafe.isEmpty()) {
        std::fprintf(stderr, "%s\n", unsafe.toLocal8Bit().constData());
        dialogs().inform(this, QCoreApplication::translate("MainWindow", "Ошибка"), unsafe, QMessageBox::Critical);
        return false;
    }
    m_dialogFolders = velmar::dialogFolders(options.startFolder, m_document.history.programFolder);

    state.modified = false;
    state.hasFileName = false;

    QString documentPath = options.documentPath;
    const auto offerInterruptedWork = [this] {
        return dialogs().ask(
                   this, QCoreApplication::translate("MainWindow", "Подтверждение"),
                   QCoreApplication::translate(
                       "MainWindow", "Найдены временные файлы логического конспекта. Попробовать открыть файл?"),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Question)
               == QMessageBox::Yes;
    };
    bool recovering = false;
    const int step = findInterruptedSnapshot(m_document.history.programFolder);
    if (step >= 0 && offerInterruptedWork()) {
        documentPath = fullSnapshotPath(m_document.history.programFolder, step);
        recovering = true;
    }
    // Then the work of a second instance that ended without cleaning up: taken into this
    // instance's history on "Да", removed on "Нет".
    if (!recovering) {
        const QString ownFolder = snapshotFolder(m_document);
        if (const auto work = findInterruptedInstanceWork(m_document.history.programFolder, ownFolder)) {
            if (offerInterruptedWork()) {
                const QString adopted = adoptInterruptedWork(*work, ownFolder);
                if (!adopted.isEmpty())
                    documentPath = adopted;
            } else {
                discardInterruptedWork(*work);
            }
        }
    }

    if (m_recent && !options.settingsFile.isEmpty())
        m_recent->useSettings(options.settingsFile);

    if (!documentPath.isEmpty()) {
        runGuarded(this, [this, documentPath] { m_documents->openOutline(documentPath); });
        // The open command showed why; whoever started the program from a terminal or a script
        // learns it there too.
        if (!state.hasFileName && !recovering)
            std::fprintf(stderr, "%s\n",
                         QCoreApplication::translate("MainWindow", "Файл логического конспекта «%1» не открыт: %2.")
                             .arg(QDir::toNativeSeparators(documentPath),
                                  QFileInfo(documentPath).isDir()
                                      ? QCoreApplication::translate("MainWindow", "это папка")
                                  : QFileInfo::exists(documentPath)
                                      ? QCoreApplication::translate("MainWindow", "его не удалось прочитать")
                                      : QCoreApplication::translate("MainWindow", "такого файла нет"))
                             .toLocal8Bit()
                             .constData());
    }
    return true;
}

void MainWindow::snapOutline()
{
    snapToGrid(m_document.outline, m_document.session.gridStep);
    m_documents->objectsEdited();
}

void MainWindow::setGrid(bool on)
{
    // The outline is snapped whichever way the switch goes, as the grid command always did.
    snapOutline();
    m_document.session.gridOn = on;
}

void MainWindow::growGrid()
{
    m_document.session.gridStep = grownGridStep(m_document.session.gridStep);
    updateGridCaptions();
    snapOutline();
}

void MainWindow::shrinkGrid()
{
    m_document.session.gridStep = shrunkGridStep(m_document.session.gridStep);
    updateGridCaptions();
    snapOutline();
}

void MainWindow::updateGridCaptions()
{
    m_commands.growGrid->setText(growGridCaption(m_document.session.gridStep));
    m_commands.shrinkGrid->setText(shrinkGridCaption(m_document.session.gridStep));
}

template <typename Result>
void MainWindow::onCommand(std::initializer_list<QAction*> actions, Result (MainWindow::*handler)())
{
    for (QAction* action : actions) {
        Q_ASSERT(action);
        connect(action, &QAction::triggered, this,
                [this, handler] { runGuarded(this, [this, handler] { (this->*handler)(); }); });
    }
}

void MainWindow::onSwitch(std::initializer_list<QAction*> actions, void (MainWindow::*handler)(bool))
{
    // The clicked action has already flipped its own check mark: that is the switch's new state.
    for (QAction* action : actions) {
        Q_ASSERT(action);
        connect(action, &QAction::triggered, this,
                [this, handler](bool on) { runGuarded(this, [this, handler, on] { (this->*handler)(on); }); });
    }
}

void MainWindow::connectCommands()
{
    const CommandRegistry& r = m_commands;
    DocumentController* d = m_documents;
    // Document commands and the history.
    auto document = [this, d](std::initializer_list<QAction*> actions, auto handler) {
        for (QAction* action : actions) {
            Q_ASSERT(action);
            connect(action, &QAction::triggered, this,
                    [this, d, handler] { runGuarded(this, [d, handler] { (d->*handler)(); }); });
        }
    };
    document({r.newOutline}, &DocumentController::newOutline);
    connect(r.open, &QAction::triggered, this, [this, d] { runGuarded(this, [d] { d->openOutline(); }); });
    document({r.saveItem, r.saveButton}, &DocumentController::save);
    document({r.saveAs}, &DocumentController::saveAs);
    document({r.close}, &DocumentController::closeOutline);
    document({r.undo}, &DocumentController::undo);
    document({r.redo}, &DocumentController::redo);
    onCommand({r.exit}, &MainWindow::exitProgram);
    onSwitch({r.zoomButton, r.zoomItem}, &MainWindow::setZoom);
    onSwitch({r.editModeButton, r.editModeItem}, &MainWindow::setEditMode);
    onCommand({r.help, r.webHelp}, &MainWindow::showHelp);
    onCommand({r.about}, &MainWindow::showAbout);
    onSwitch({r.gridButton, r.gridItem}, &MainWindow::setGrid);
    onCommand({r.growGrid}, &MainWindow::growGrid);
    onCommand({r.shrinkGrid}, &MainWindow::shrinkGrid);
    onCommand({r.exportPicture}, &MainWindow::exportPicture);
    onCommand({r.exportWebPage}, &MainWindow::exportWebPage);
    onCommand({r.editPicture}, &MainWindow::editPicture);

    // Creating objects and the picture and arrow commands, done by the canvas controller.
    auto canvasCommand = [this](QAction* action, auto handler) {
        Q_ASSERT(action);
        connect(action, &QAction::triggered, this,
                [this, handler] { runGuarded(this, [this, handler] { handler(*m_controller); }); });
    };
    canvasCommand(r.createFrame, [](CanvasController& c) { c.createFrame(); });
    canvasCommand(r.createPictureOnCanvas, [](CanvasController& c) { c.createPicture(true); });
    canvasCommand(r.createPicture, [](CanvasController& c) { c.createPicture(false); });
    canvasCommand(r.createCaptionOnCanvas, [](CanvasController& c) { c.createCaption(true); });
    canvasCommand(r.createCaption, [](CanvasController& c) { c.createCaption(false); });
    canvasCommand(r.createTextField, [](CanvasController& c) { c.createTextField(); });
    canvasCommand(r.createVideoOnCanvas, [](CanvasController& c) { c.createVideo(true); });
    canvasCommand(r.createVideo, [](CanvasController& c) { c.createVideo(false); });
    canvasCommand(r.createArrow, [](CanvasController& c) { c.createArrow(); });
    canvasCommand(r.openPicture, [](CanvasController& c) { c.openPicture(); });
    // The switches pass the state their click gave them.
    for (QAction* stretch : {r.stretchButton, r.stretchSettingsItem})
        canvasCommand(stretch, [stretch](CanvasController& c) { c.setStretchFromButton(stretch->isChecked()); });
    canvasCommand(r.stretchPopupItem,
                  [item = r.stretchPopupItem](CanvasController& c) { c.setStretchFromMenu(item->isChecked()); });
    canvasCommand(r.pictureFullScreen, [](CanvasController& c) { c.showPictureFullScreen(); });
    canvasCommand(r.arrowColour, [](CanvasController& c) { c.changeArrowColour(); });
    canvasCommand(r.arrowThicker, [](CanvasController& c) { c.changeArrowWidth(+1); });
    canvasCommand(r.arrowThinner, [](CanvasController& c) { c.changeArrowWidth(-1); });
    canvasCommand(r.deleteArrow, [](CanvasController& c) { c.deleteArrow(); });
}

void MainWindow::setEditMode(bool on)
{
    m_document.session.editMode = on;
    m_controller->dropSelection();
}

void MainWindow::showHelp() { openHelp(m_document.history.programFolder); }

void MainWindow::showAbout()
{
    if (!m_about)
        m_about = new AboutDialog(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

}  // namespace velmar
