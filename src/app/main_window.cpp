#include "app/main_window.h"

#include "app/about_dialog.h"
#include "platform/command_guard.h"
#include "app/help.h"
#include "canvas/arrow_geometry.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/grid.h"
#include "model/text_metrics.h"
#include "model/zoom.h"
#include "platform/dialogs.h"
#include "platform/tooltip_wrap.h"
#include "platform/core/file_association.h"
#include "storage/snapshot_files.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QShowEvent>

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

    m_view = new OutlineView(m_document, m_canvas);
    m_handles = new SelectionHandles(m_canvas, m_document);
    m_controller = new CanvasController(*this, m_canvas, m_view, m_handles);
    connect(m_canvas, &CanvasWidget::resized, this, [this](QSize size) {
        m_document.outline.setClientSize(size);
        // Sizes the program sets itself (an opened outline's window, its frame margins learnt)
        // show the outline as it is; only the user's resizing scales it.
        if (!isOwnResize())
            runGuarded(this, [this] { rescaleToWindow(); });
    });
    connectCommands();
    // Long hints (minimal texts of objects among them) are shown as short paragraphs.
    qApp->installEventFilter(new ToolTipWrapper(this));
    installOutlineFeatures();
    installVideoFeatures();

    initWindowSize();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::command(const QString& name) const
{
    return findChild<QAction*>(name);
}

QMenu* MainWindow::popupMenu(const QString& name) const
{
    return findChild<QMenu*>(name, Qt::FindDirectChildrenOnly);
}

void MainWindow::startUp(const StartupOptions& options)
{
    DocumentState& state = m_document.state;
    state.fullSnapshot = true;
    state.directOpen = false;

    if (!options.dataHome.isEmpty()) {
        QFile icon(QStringLiteral(":/icons/velmar-256.png"));
        const QByteArray iconPng = icon.open(QIODevice::ReadOnly) ? icon.readAll() : QByteArray();
        registerFileTypes(options.programPath, options.dataHome, iconPng);  // failures are ignored
    }

    m_document.outline.setSequenceRecording(true);
    state.gridStep = 2;
    state.outlineName = QStringLiteral("Новый");
    m_document.interaction.outerSelection = 0;
    m_document.interaction.innerSelection = 0;

    state.programFolder = options.programFolder;
    ensureWorkingFolders(state.programFolder);
    m_dialogFolders = velmar::dialogFolders(options.startFolder, state.programFolder);

    state.modified = false;
    state.hasFileName = false;

    QString documentPath = options.documentPath;
    const auto offerInterruptedWork = [this] {
        return dialogs().ask(this, QStringLiteral("Подтверждение"),
                             QStringLiteral("Найдены временные файлы логического конспекта. Попробовать открыть файл?"),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::Question)
               == QMessageBox::Yes;
    };
    bool recovering = false;
    const int step = findInterruptedSnapshot(state.programFolder);
    if (step >= 0 && offerInterruptedWork()) {
        documentPath = fullSnapshotPath(state.programFolder, step);
        recovering = true;
    }
    // Then the work of a second instance that ended without cleaning up: taken into this
    // instance's history on "Да", removed on "Нет".
    if (!recovering) {
        const QString ownFolder = snapshotFolder(m_document);
        if (const auto work = findInterruptedInstanceWork(state.programFolder, ownFolder)) {
            if (offerInterruptedWork()) {
                const QString adopted = adoptInterruptedWork(*work, ownFolder);
                if (!adopted.isEmpty())
                    documentPath = adopted;
            } else {
                discardInterruptedWork(*work);
            }
        }
    }

    if (!documentPath.isEmpty()) {
        state.fileName = documentPath;
        state.directOpen = true;
        runGuarded(this, [this] { openOutline(); });
    }
}

void MainWindow::clearAll()
{
    for (const char* name : {"ToolButton9", "ToolButton12", "N60", "N64"})
        command(QLatin1String(name))->setEnabled(false);
    // No handle may stay behind around an object that is gone.
    m_controller->dropSelection();
    m_document.outline.clearAll();
    m_view->sync();
}

void MainWindow::snapOutline()
{
    snapToGrid(m_document.outline, m_document.state.gridStep);
    m_view->sync();
}

void MainWindow::toggleGridFromButton()
{
    snapOutline();
    command(QStringLiteral("N80"))->setChecked(command(QStringLiteral("ToolButton20"))->isChecked());
}

void MainWindow::toggleGridFromMenu()
{
    command(QStringLiteral("ToolButton20"))->setChecked(command(QStringLiteral("N80"))->isChecked());
    toggleGridFromButton();
}

void MainWindow::growGrid()
{
    m_document.state.gridStep = grownGridStep(m_document.state.gridStep);
    updateGridCaptions();
    snapOutline();
}

void MainWindow::shrinkGrid()
{
    m_document.state.gridStep = shrunkGridStep(m_document.state.gridStep);
    updateGridCaptions();
    snapOutline();
}

void MainWindow::updateGridCaptions()
{
    command(QStringLiteral("N211"))->setText(growGridCaption(m_document.state.gridStep));
    command(QStringLiteral("N212"))->setText(shrinkGridCaption(m_document.state.gridStep));
}

template <typename Result>
void MainWindow::onCommand(std::initializer_list<const char*> names, Result (MainWindow::*handler)())
{
    for (const char* name : names) {
        QAction* action = command(QLatin1String(name));
        Q_ASSERT(action);
        connect(action, &QAction::triggered, this, [this, handler] { runGuarded(this, [this, handler] { (this->*handler)(); }); });
    }
}

void MainWindow::connectCommands()
{
    onCommand({"N47", "ToolButton1"}, &MainWindow::newOutline);
    onCommand({"N48", "ToolButton2"}, &MainWindow::openOutline);
    onCommand({"N49", "ToolButton3"}, &MainWindow::saveCommand);
    onCommand({"N50", "ToolButton5"}, &MainWindow::saveAsCommand);
    onCommand({"N51"}, &MainWindow::closeOutline);
    onCommand({"N55"}, &MainWindow::exitProgram);
    onCommand({"N77", "ToolButton10"}, &MainWindow::undoStep);
    onCommand({"N78", "ToolButton18"}, &MainWindow::redoStep);
    onCommand({"ToolButton19"}, &MainWindow::toggleZoomFromButton);
    onCommand({"N79"}, &MainWindow::toggleZoomFromMenu);
    onCommand({"ToolButton11"}, &MainWindow::toggleEditModeFromButton);
    onCommand({"N61"}, &MainWindow::toggleEditModeFromMenu);
    onCommand({"N62", "Web1", "ToolButton16"}, &MainWindow::showHelp);
    onCommand({"N68"}, &MainWindow::showAbout);
    onCommand({"ToolButton20"}, &MainWindow::toggleGridFromButton);
    onCommand({"N80"}, &MainWindow::toggleGridFromMenu);
    onCommand({"N211"}, &MainWindow::growGrid);
    onCommand({"N212"}, &MainWindow::shrinkGrid);

    auto canvasCommand = [this](const char* name, auto handler) {
        connect(command(QLatin1String(name)), &QAction::triggered, this,
                [this, handler] { runGuarded(this, [this, handler] { handler(*m_controller); }); });
    };
    canvasCommand("N1", [](CanvasController& c) { c.createFrame(); });
    canvasCommand("N2", [](CanvasController& c) { c.createPicture(true); });
    canvasCommand("N3", [](CanvasController& c) { c.createPicture(false); });
    canvasCommand("N39", [](CanvasController& c) { c.createCaption(true); });
    canvasCommand("N45", [](CanvasController& c) { c.createCaption(false); });
    canvasCommand("N86", [](CanvasController& c) { c.createTextField(); });
    canvasCommand("N25", [](CanvasController& c) { c.createVideo(true); });
    canvasCommand("N37", [](CanvasController& c) { c.createVideo(false); });
    canvasCommand("N73", [](CanvasController& c) { c.createArrow(); });
    canvasCommand("N38", [](CanvasController& c) { c.openPicture(); });
    onCommand({"N53", "ToolButton7"}, &MainWindow::exportPicture);
    onCommand({"N58"}, &MainWindow::editPicture);
    canvasCommand("N59", [](CanvasController& c) { c.setStretchFromMenu(); });
    canvasCommand("ToolButton12", [](CanvasController& c) { c.setStretchFromButton(); });
    canvasCommand("N64", [](CanvasController& c) { c.setStretchFromSettings(); });
    canvasCommand("N84", [](CanvasController& c) { c.showPictureFullScreen(); });
    canvasCommand("N74", [](CanvasController& c) { c.changeArrowColour(); });
    canvasCommand("N75", [](CanvasController& c) { c.changeArrowWidth(+1); });
    canvasCommand("N88", [](CanvasController& c) { c.changeArrowWidth(-1); });
    canvasCommand("N90", [](CanvasController& c) { c.deleteArrow(); });
}


void MainWindow::toggleEditModeFromButton()
{
    const bool on = command(QStringLiteral("ToolButton11"))->isChecked();
    command(QStringLiteral("N61"))->setChecked(on);
    applyEditMode(on);
}

void MainWindow::toggleEditModeFromMenu()
{
    const bool on = command(QStringLiteral("N61"))->isChecked();
    command(QStringLiteral("ToolButton11"))->setChecked(on);
    applyEditMode(on);
}

void MainWindow::applyEditMode(bool on)
{
    m_document.state.editMode = on;
    m_controller->dropSelection();
}

void MainWindow::showHelp()
{
    openHelp(m_document.state.programFolder);
}

void MainWindow::showAbout()
{
    if (!m_about)
        m_about = new AboutDialog(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

}  // namespace velmar
