// The document commands (New, Open, Save, Save as, Close, Exit), the history step and undo/redo,
// and the outline zoom that follows the window's size.
#include "app/main_window.h"

#include "platform/command_guard.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/grid.h"
#include "model/zoom.h"
#include "platform/dialogs.h"
#include "storage/old_outline_file.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "view/outline_export.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace velmar {

namespace {

const QString kOutlineFilter = QStringLiteral(
    "Логический конспект (*.vmd)|*.vmd|Логический конспект старый формат (*.vmc)|*.vmc");
const QString kSaveFilter = QStringLiteral("Логический конспект (*.vmd)|*.vmd");

void showError(QWidget* parent, const QString& text)
{
    dialogs().inform(parent, QStringLiteral("Ошибка"), text, QMessageBox::Critical);
}

struct DefaultFrame {
    const char* title;
    const char* minimalText;  // nullptr: the title
    int l[2], t[2], w[2], h[2];  // value = a·(W or Q) + b, as {a, b}
};

// The ten frames of a new outline, laid out on a W × Q grid of the canvas below the tool bar.
const DefaultFrame kDefaultFrames[] = {
    {"Наблюдения", nullptr, {0, 2}, {0, 34}, {1, -2}, {2, -2}},
    {"Опыты", nullptr, {1, 2}, {0, 34}, {1, -2}, {2, -2}},
    {"Величины", nullptr, {2, 2}, {0, 34}, {2, -4}, {1, -2}},
    {"Связи величин", "Связи", {2, 2}, {1, 34}, {2, -4}, {1, 0}},
    {"Факты", nullptr, {2, 2}, {2, 34}, {1, -2}, {1, -2}},
    {"Модель-гипотеза", nullptr, {3, 2}, {2, 34}, {1, -4}, {1, -2}},
    {"Следствия", nullptr, {3, 2}, {3, 34}, {1, -4}, {1, -2}},
    {"Эксперимент", nullptr, {2, 2}, {3, 34}, {1, -2}, {1, -2}},
    {"Приборы", nullptr, {0, 2}, {2, 34}, {1, -2}, {2, -4}},
    {"Технологические процессы", nullptr, {1, 2}, {2, 34}, {1, -2}, {2, -4}},
};

}  // namespace

QSize MainWindow::windowChrome() const
{
    return outerSize() - m_canvas->size();
}

void MainWindow::setOutlineCaption()
{
    setWindowTitle(QStringLiteral("Логический конспект (") + m_document.state.outlineName + QLatin1Char(')'));
}

void MainWindow::enableOutlineCommands(bool on)
{
    const CommandRegistry& c = m_commands;
    for (QAction* action : {c.settingsMenu, c.editModeButton, c.gridButton, c.zoomButton, c.canvasColourButton})
        action->setEnabled(on);
}

void MainWindow::disableObjectSwitches()
{
    // The title and stretch buttons follow the object pressed last; a change or a step leaves
    // them off until the next press.
    m_commands.frameTitlesButton->setEnabled(false);
    m_commands.stretchButton->setEnabled(false);
}

// --- the history step -------------------------------------------------------------------------

void MainWindow::recordStep()
{
    // Nothing is recorded once the window is closing: its snapshots have been cleaned up.
    if (m_closing)
        return;
    if (m_document.session.gridOn)
        snapToGrid(m_document.outline, m_document.session.gridStep);
    m_view->sync();
    enableSaveCommands(*this);
    followWindowSize();
    // The reference layout of the zoom is taken before the step is recorded, so that undo and
    // redo give back the one that belongs to each step.
    recordReferenceLayout(m_document.outline, m_canvas->size());
    const HistoryResult result = velmar::recordStep(m_document);
    disableObjectSwitches();
    updateHistoryButtons();
    if (!result.ok)
        showError(this, result.message);
}

void MainWindow::updateHistoryButtons()
{
    const bool back = canUndo(m_document), forth = canRedo(m_document);
    m_commands.undo->setEnabled(back);
    m_commands.redo->setEnabled(forth);
}

void MainWindow::applyHistoryResult(const HistoryResult& result)
{
    if (!result.ok) {
        updateHistoryButtons();
        showError(this, result.message);
        return;
    }
    if (result.reloaded) {
        m_view->rebuild();
        emit outlineReplaced();
    }
    else
        m_view->sync();
    m_canvas->setCanvasColour(m_document.state.canvasColour);
    disableObjectSwitches();
    setOutlineCaption();
    updateHistoryButtons();
}

void MainWindow::undoStep()
{
    m_handles->hideAll();
    applyHistoryResult(velmar::undo(m_document, windowChrome()));
}

void MainWindow::redoStep()
{
    m_handles->hideAll();
    applyHistoryResult(velmar::redo(m_document, windowChrome()));
}

// --- unsaved changes ----------------------------------------------------------------------------

bool MainWindow::settleUnsavedChanges(bool stopAfterSaving)
{
    if (!m_document.state.modified)
        return true;
    const auto answer = dialogs().ask(this, QStringLiteral("Подтверждение"),
                                      QStringLiteral("Конспект не сохранен. Сохранить?"),
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                      QMessageBox::Information);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes) {
        // A save that failed or was cancelled keeps the outline (and the command stops).
        if (!saveCommand())
            return false;
        if (stopAfterSaving)
            return false;
    }
    m_document.state.modified = false;
    return true;
}

// --- New ------------------------------------------------------------------------------------------

void MainWindow::newOutline()
{
    const bool wasModified = m_document.state.modified;
    if (!settleUnsavedChanges(true))
        return;
    DocumentState& state = m_document.state;
    // Cancelled at the name, New leaves the outline as it was: still unsaved if it was.
    const auto keepOutline = [&] { state.modified = wasModified; };
    // The name is asked first: cancelling keeps the open outline with its name, file and history.
    const QDir projects(QDir(m_document.session.programFolder).filePath(QStringLiteral("Project")));
    QString name;
    for (;;) {
        const auto entered = dialogs().inputText(this, QStringLiteral("Новый конспект"),
                                                 QStringLiteral("Введите название конспекта"), QStringLiteral("Новый"));
        if (!entered)
            return keepOutline();
        name = *entered;
        if (name.isEmpty() || !QFileInfo(projects.filePath(name)).isDir())
            break;
        const auto answer = dialogs().ask(this, QStringLiteral("Подтверждение"),
                                          QStringLiteral("Данный конспект уже существует. Желаете заменить?"),
                                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                          QMessageBox::Question);
        if (answer == QMessageBox::No)
            return keepOutline();
        if (answer == QMessageBox::Yes)
            break;
    }
    cleanUp(m_document);
    m_document.history.currentStep = 0;
    m_document.history.highestStep = 0;
    m_document.history.stepObjects.clear();
    m_document.history.unwrittenSteps.clear();
    updateHistoryButtons();
    state.hasFileName = false;
    state.outlineName = name;

    clearAll();
    enableOutlineCommands(true);
    state.canvasColour = kButtonFace;
    m_canvas->setCanvasColour(state.canvasColour);
    // The new outline is laid out for this window: its size is the one the file keeps.
    m_sizeFollowsWindow = true;
    const int W = m_canvas->width() / 4;
    const int Q = (m_canvas->height() - CanvasWidget::kToolBarHeight) / 4;
    setOutlineCaption();
    m_document.outline.frameSequence().clear();
    m_document.outline.objectSequence().clear();
    for (const DefaultFrame& f : kDefaultFrames) {
        const QRect bounds(f.l[0] * W + f.l[1], f.t[0] * Q + f.t[1], f.w[0] * W + f.w[1], f.h[0] * Q + f.h[1]);
        const int slot = m_document.outline.createFrame(bounds, QString::fromUtf8(f.title));
        m_document.outline.frame(slot).minimalText = QString::fromUtf8(f.minimalText ? f.minimalText : f.title);
    }
    m_view->sync();
    m_document.history.fullSnapshot = true;
    m_document.history.currentStep = -1;
    cleanUp(m_document);
    recordStep();
    disableObjectSwitches();
}

// --- Open -----------------------------------------------------------------------------------------

void MainWindow::replaceOutline(LoadResult& loaded)
{
    m_document.outline = std::move(loaded.outline);
    m_document.outline.setSequenceRecording(true);
    m_document.interaction = InteractionState{};
    DocumentState& state = m_document.state;
    state.outlineName = loaded.outlineName;
    state.canvasColour = loaded.canvasColour;
    m_canvas->setCanvasColour(state.canvasColour);
    showOutlineWindow(loaded.windowSize);
    m_view->rebuild();
    emit outlineReplaced();
}

void MainWindow::openOutline()
{
    emit openCommandRun();
    DocumentState& state = m_document.state;
    m_handles->hideAll();
    if (!settleUnsavedChanges(false))
        return;
    QString path = state.fileName;
    if (!m_document.session.directOpen) {
        const auto choice = dialogs().openFile(this, QStringLiteral("Открыть"), m_dialogFolders.outlines,
                                               kOutlineFilter, 1);
        if (!choice)
            return;
        path = choice->path;
    }
    m_document.session.directOpen = false;

    const bool old = isOldFormatName(path);
    LoadResult loaded = readAnyOutlineFile(path, windowChrome());
    if (!loaded.ok) {
        // A refused file leaves the open outline, its name and its history as they were.
        showError(this, loaded.message);
        return;
    }
    const QStringList notices = loaded.notices;
    const QString warning = loaded.message;
    const QFileInfo opened(path);
    const bool recovered = opened.absolutePath() == QFileInfo(QDir(snapshotFolder(m_document)).filePath(QStringLiteral("x"))).absolutePath();
    if (recovered) {
        // The steps recorded after the last complete snapshot hold the latest work: bring it back.
        bool full = false;
        const int step = snapshotStep(opened.fileName(), &full);
        if (step >= 0 && full)
            applyLaterSteps(loaded, opened.absolutePath(), step);
    }
    replaceOutline(loaded);
    state.fileName = path;

    cleanUp(m_document);
    // The reference layout is that of the canvas the outline was made for.
    recordReferenceLayout(m_document.outline, m_document.outline.clientSize());
    m_commands.saveAs->setEnabled(true);
    m_commands.exportPicture->setEnabled(true);
    disableObjectSwitches();
    state.hasFileName = true;
    setOutlineCaption();
    enableOutlineCommands(true);

    m_document.history.fullSnapshot = true;
    m_document.history.currentStep = -1;
    recordStep();
    markSaved(m_document);
    m_commands.saveButton->setEnabled(false);

    if (recovered) {
        // Work recovered after a crash came from the history folder, which the clean-up empties:
        // it has no file of its own yet, and it is not saved anywhere.
        state.hasFileName = false;
        state.fileName.clear();
        state.modified = true;
        m_document.history.savedStep = -1;
        m_commands.saveButton->setEnabled(true);
    }

    if (old)
        maximizeForImportIfLarger(loaded.windowSize);

    for (const QString& notice : notices)
        dialogs().inform(this, QStringLiteral("Информация"), notice, QMessageBox::Information);
    if (!warning.isEmpty())
        dialogs().inform(this, QStringLiteral("Внимание"), warning, QMessageBox::Warning);
}

// --- Save, Save as ----------------------------------------------------------------------------------

bool MainWindow::saveCommand()
{
    DocumentState& state = m_document.state;
    if (!state.hasFileName)
        return saveAsCommand();
    if (state.fileName.isEmpty())
        return false;
    // An outline read from the old format is always saved in the current one, beside it.
    const QString target = currentFormatName(state.fileName);
    followWindowSize();
    const WriteResult written = writeOutlineFile(target, m_document);
    if (!written.ok) {
        // Nothing was saved: the outline stays modified and Save stays available.
        showError(this, written.message);
        return false;
    }
    state.fileName = target;
    m_commands.saveButton->setEnabled(false);
    m_commands.saveItem->setEnabled(false);
    markSaved(m_document);
    disableObjectSwitches();
    return true;
}

bool MainWindow::saveAsCommand()
{
    const auto choice = dialogs().saveFile(this, QStringLiteral("Сохранить как"), m_dialogFolders.outlines,
                                           kSaveFilter, m_document.state.outlineName, 1);
    if (!choice)
        return false;
    const QFileInfo chosen(choice->path);
    QString base = choice->path;
    if (!chosen.suffix().isEmpty())
        base.chop(chosen.suffix().size() + 1);
    // A save that fails leaves the outline under its previous name and file.
    DocumentState& state = m_document.state;
    const DocumentState before = state;
    state.fileName = base + QStringLiteral(".vmc");
    state.outlineName = chosen.fileName();
    state.hasFileName = true;
    if (saveCommand())
        return true;
    state.fileName = before.fileName;
    state.outlineName = before.outlineName;
    state.hasFileName = before.hasFileName;
    return false;
}

// --- Close, Exit ------------------------------------------------------------------------------------

void MainWindow::closeOutline()
{
    if (!settleUnsavedChanges(false))
        return;
    clearAll();
    // Nothing is left to put in order: sequences that still named the removed objects would
    // lead the overlays and the summary to objects that no longer exist.
    m_document.outline.frameSequence().clear();
    m_document.outline.objectSequence().clear();
    const CommandRegistry& c = m_commands;
    for (QAction* action : {c.saveButton, c.saveItem, c.saveAs, c.exportPicture, c.close})
        action->setEnabled(false);
    m_document.state.modified = false;
    m_document.state.canvasColour = kButtonFace;
    m_canvas->setCanvasColour(kButtonFace);
    for (QAction* action : {c.frameTitlesButton, c.stretchButton, c.undo, c.redo, c.stretchSettingsItem, c.frameTitlesItem})
        action->setEnabled(false);
    m_handles->hideAll();
    enableOutlineCommands(false);
}

void MainWindow::exitProgram()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    bool proceed = true;
    runGuarded(this, [&] { proceed = settleUnsavedChanges(false); });
    if (!proceed) {
        event->ignore();
        return;
    }
    m_closing = true;
    cleanUp(m_document);
    event->accept();
}

// --- outline zoom ------------------------------------------------------------------------------------

void MainWindow::setZoom(bool on)
{
    recordReferenceLayout(m_document.outline, m_canvas->size());
    m_document.session.zoomOn = on;
    showSessionSwitches();
}

void MainWindow::rescaleToWindow()
{
    if (m_adjustingSize || !m_document.session.zoomOn)
        return;
    if (m_document.session.gridOn && !isMaximized() && !isFullScreen()) {
        const QSize outer = frameGeometry().size();
        const QSize even = evenWindowSize(outer);
        if (even != outer) {
            m_adjustingSize = true;
            setOuterSize(even.width(), even.height());
            m_adjustingSize = false;
        }
    }
    m_handles->hideAll();
    if (rescaleOutline(m_document.outline, m_canvas->size(), m_document.session.gridStep))
        m_view->sync();
}

}  // namespace velmar

namespace velmar {

// --- export as picture --------------------------------------------------------------------------------

void MainWindow::exportPicture()
{
    m_handles->hideAll();
    const QImage picture = captureCanvas(m_canvas);
    const auto choice = dialogs().saveFile(this, QStringLiteral("Сохранить как рисунок"), m_dialogFolders.exports,
                                           exportFilter(), m_document.state.outlineName, 1);
    if (!choice)
        return;
    // Pictures are the screen's pixels; PDF and SVG draw the outline again as vectors.
    const QString path = exportFileName(choice->path, choice->filterIndex);
    const QString error = isVectorFormat(exportFormatOf(path)) ? exportOutline(m_document, m_canvas->size(), 1.0, path)
                                                               : writePicture(picture, path);
    if (!error.isEmpty())
        throw UserError(error);
}

}  // namespace velmar
