#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/command_guard.h"
#include "app/help.h"
#include "canvas/canvas_widget.h"
#include "platform/dialogs.h"
#include "platform/core/file_association.h"
#include "storage/snapshot_files.h"

#include <QAction>
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
    connectCommands();

    resize(kInitialWidth, kInitialHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kInitialWidth / 2, kInitialHeight / 2));
    }
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

void MainWindow::setOuterSize(int w, int h)
{
    const QSize margins = frameGeometry().size() - geometry().size();
    resize(w - margins.width(), h - margins.height());
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The frame margins are known only once the window manager has framed the window; the
    // stored sizes are outer sizes, so correct the first size then, keeping the window centred.
    if (m_outerSizePending && frameGeometry().size() != geometry().size()) {
        m_outerSizePending = false;
        const QPoint centre = frameGeometry().center();
        setOuterSize(kInitialWidth, kInitialHeight);
        move(pos() + centre - frameGeometry().center());
    }
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
    const int step = findInterruptedSnapshot(state.programFolder);
    if (step >= 0) {
        const auto answer = dialogs().ask(
            this, QStringLiteral("Подтверждение"),
            QStringLiteral("Найдены временные файлы логического конспекта. Попробовать открыть файл?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Question);
        if (answer == QMessageBox::Yes)
            documentPath = fullSnapshotPath(state.programFolder, step);
    }

    if (!documentPath.isEmpty()) {
        state.fileName = documentPath;
        state.directOpen = true;
        runGuarded(this, [this] { openOutline(); });
    }
}

void MainWindow::onCommand(std::initializer_list<const char*> names, void (MainWindow::*handler)())
{
    for (const char* name : names) {
        QAction* action = command(QLatin1String(name));
        Q_ASSERT(action);
        connect(action, &QAction::triggered, this, [this, handler] { runGuarded(this, [this, handler] { (this->*handler)(); }); });
    }
}

void MainWindow::connectCommands()
{
    onCommand({"N48", "ToolButton2"}, &MainWindow::openOutline);
    onCommand({"N55"}, &MainWindow::exitProgram);
    onCommand({"ToolButton11"}, &MainWindow::toggleEditModeFromButton);
    onCommand({"N61"}, &MainWindow::toggleEditModeFromMenu);
    onCommand({"N62", "Web1", "ToolButton16"}, &MainWindow::showHelp);
    onCommand({"N68"}, &MainWindow::showAbout);
}

void MainWindow::openOutline()
{
    // Reading outline files arrives with the file format; until then the command only announces
    // which file it was asked to open.
    emit openCommandRun();
}

void MainWindow::exitProgram()
{
    close();
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
    m_document.interaction.outerSelection = 0;
    m_document.interaction.innerSelection = 0;
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
