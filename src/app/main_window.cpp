#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/document_dialogs.h"
#include "app/help.h"
#include "app/program_icon.h"
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
#include <QIcon>
#include <QMenu>
#include <QScreen>
#include <QShowEvent>

#include <cstdio>
#include <utility>

namespace velmar {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmar"));
    setWindowIcon(programIcon());

    m_canvas = new CanvasWidget(this);
    setCentralWidget(m_canvas);

    buildCommands();

    m_documentQuestions = std::make_unique<DocumentDialogs>(this);
    m_documents = new DocumentController(m_document, *this, this);
    m_view = new OutlineView(m_document, m_canvas);
    m_handles = new SelectionHandles(m_canvas, m_document);
    m_controller = new CanvasController(*this, m_canvas, m_view, m_handles);
    connectDocumentViews();
    connect(m_canvas, &CanvasWidget::resized, this, [this](QSize size) {
        resumePainting();
        m_document.outline.setClientSize(size);
        // The user's resizing scales the outline by the zoom; sizes the program sets itself (an
        // opened outline's window, its frame margins learnt) fit an outline just opened.
        if (!isOwnResize())
            runGuarded(this, [this] { rescaleToWindow(); });
        else
            runGuarded(this, [this] { refitOpenedOutline(); });
        m_layoutCanvas = QSize();
    });
    // Long hints (minimal texts of objects among them) are shown as short paragraphs.
    qApp->installEventFilter(new ToolTipWrapper(this));
    installOutlineFeatures();
    installVideoFeatures();
    installOutsideInput();
    // Last, so that the states are shown after every command's own handler has run.
    followCommandStates();

    initWindowSize();
}

MainWindow::~MainWindow()
{
    // The object widgets outlive this body (QWidget's destructor deletes them), and a field being
    // typed in still loses the keyboard as it goes, which the canvas controller would record as
    // a step of a window that is no longer there: the controller goes first.
    delete std::exchange(m_controller, nullptr);
}

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
    m_commands.action(Command::GrowGrid)->setText(growGridCaption(m_document.session.gridStep));
    m_commands.action(Command::ShrinkGrid)->setText(shrinkGridCaption(m_document.session.gridStep));
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
