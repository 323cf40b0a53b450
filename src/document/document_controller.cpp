#include "document/document_controller.h"

#include "model/arrow_attachment.h"
#include "model/file_name_proposal.h"
#include "model/grid.h"
#include "model/outline_template.h"
#include "model/zoom.h"
#include "storage/film_still.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTimer>

#include <exception>

namespace velmar {

namespace {

QString outlineFilter()
{
    return QCoreApplication::translate(
        "DocumentController", "Логический конспект (*.vmd)|*.vmd|Логический конспект старый формат (*.vmc)|*.vmc");
}
QString saveFilter() { return QCoreApplication::translate("DocumentController", "Логический конспект (*.vmd)|*.vmd"); }

// "Иван Петров (ivan)", or the account name alone.
QString ownerName(const LockOwner& owner)
{
    if (owner.fullName.isEmpty() || owner.fullName == owner.user)
        return owner.user;
    return QStringLiteral("%1 (%2)").arg(owner.fullName, owner.user);
}

bool sameFile(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// How often the lock of an open outline is touched, so that other computers see it in force.
constexpr int kLockRefreshMs = 30 * 60 * 1000;

}  // namespace

// Reports the modified flag once a command is over, whichever way it ended (nested commands, such
// as Save inside the unsaved-changes question, report what the flag is at their own end).
class DocumentController::ModifiedReport {
public:
    explicit ModifiedReport(DocumentController& controller) : m_controller(controller) {}
    ~ModifiedReport()
    {
        if (std::uncaught_exceptions() == 0)
            m_controller.reportModified();
    }

private:
    DocumentController& m_controller;
};

DocumentController::DocumentController(OpenOutline& document, DocumentWindow& window, QObject* parent)
    : QObject(parent), m_document(document), m_window(window), m_reportedModified(document.state.modified)
{
    auto* refresh = new QTimer(this);
    refresh->setInterval(kLockRefreshMs);
    connect(refresh, &QTimer::timeout, this, [this] { m_lock.refresh(); });
    refresh->start();
}

void DocumentController::followFile(const QString& path)
{
    m_followedFile = path;
    m_stamp = FileStamp::of(path);
    m_declinedReload = FileStamp();
    if (!m_readOnly && !sameFile(m_lock.outline(), path))
        m_lock.take(path);
}

void DocumentController::forgetFile()
{
    m_lock.release();
    m_followedFile.clear();
    m_stamp = FileStamp();
    m_declinedReload = FileStamp();
    if (m_readOnly) {
        m_readOnly = false;
        emit captionChanged();
    }
}

void DocumentController::reportModified()
{
    emit commandEnded();
    if (m_document.state.modified == m_reportedModified)
        return;
    m_reportedModified = m_document.state.modified;
    emit modifiedChanged(m_reportedModified);
}

bool DocumentController::canSave() const
{
    // Save is there exactly when the outline differs from its file, however it got there: a
    // change, an undo past the saved step, or an undo or redo back to it.
    // An outline read from the old format has no file of the present format yet: Save writes it.
    const DocumentState& state = m_document.state;
    return m_document.session.workToSave
           && (state.modified
               || (state.hasFileName && !state.fileName.isEmpty()
                   && currentFormatName(state.fileName) != state.fileName));
}

bool DocumentController::canUndo() const
{
    // A closed outline's steps stay in the history folder, but there is nothing to go back to.
    return m_document.session.workToSave && velmar::canUndo(m_document);
}

bool DocumentController::canRedo() const { return m_document.session.workToSave && velmar::canRedo(m_document); }

void DocumentController::showError(const QString& text)
{
    m_window.questions().tell(QCoreApplication::translate("DocumentController", "Ошибка"), text, MessageKind::Error);
}

void DocumentController::disableObjectSwitches()
{
    // The title and stretch buttons follow the object pressed last; a change or a step leaves
    // them off until the next press.
    m_document.interaction.switchButtonsOn = false;
}

void DocumentController::objectsEdited()
{
    followAttachments(m_document.outline);
    if (!m_viewsBehind)
        emit objectsChanged();
}

void DocumentController::setCanvasColour(ColourValue colour)
{
    m_document.state.canvasColour = colour;
    emit canvasColourChanged();
}

void DocumentController::markModifiedWithoutStep()
{
    m_document.state.modified = true;
    m_document.session.workToSave = true;
    reportModified();
}

void DocumentController::clearAll()
{
    m_document.interaction.offeredSwitch = ObjectSwitch::None;
    m_document.interaction.switchButtonsOn = false;
    // No handle may stay behind around an object that is gone.
    m_document.interaction.outerSelection = 0;
    m_document.interaction.innerSelection = 0;
    emit selectionHidden();
    m_document.outline.clearAll();
    emit objectsChanged();
}

// --- the history step -------------------------------------------------------------------------

void DocumentController::recordStep(StepKind kind)
{
    // Nothing is recorded once the window is closing: its snapshots have been cleaned up.
    if (m_closing)
        return;
    ModifiedReport report(*this);
    if (m_document.session.gridOn)
        snapToGrid(m_document.outline, m_document.session.gridStep);
    // Whatever the change moved or resized, the arrow ends attached to it follow.
    followAttachments(m_document.outline);
    emit objectsChanged();
    m_document.session.workToSave = true;
    m_window.followWindowSize();
    // The reference layout of the zoom is taken before the step is recorded, so that undo and
    // redo give back the one that belongs to each step.
    recordReferenceLayout(m_document.outline, m_window.canvasSize());
    const HistoryResult result = velmar::recordStep(m_document, kind);
    disableObjectSwitches();
    emit historyChanged();
    if (!result.ok)
        showError(result.message);
}

void DocumentController::applyHistoryResult(const HistoryResult& result)
{
    if (!result.ok) {
        emit historyChanged();
        showError(result.message);
        return;
    }
    m_document.interaction.dropSelection(result.reloaded);
    // The step's window has the canvas this window's frame leaves of its stored size, as after
    // Open; the views are shown for that canvas.
    m_document.outline.setClientSize(canvasSizeIn(result.windowSize, m_window.windowChrome()));
    if (result.reloaded)
        emit outlineReplaced();
    else
        emit objectsChanged();
    emit canvasColourChanged();
    disableObjectSwitches();
    emit captionChanged();
    emit historyChanged();
}

void DocumentController::undo()
{
    ModifiedReport report(*this);
    emit selectionHidden();
    applyHistoryResult(velmar::undo(m_document));
}

void DocumentController::redo()
{
    ModifiedReport report(*this);
    emit selectionHidden();
    applyHistoryResult(velmar::redo(m_document));
}

// --- unsaved changes ----------------------------------------------------------------------------

bool DocumentController::settleUnsavedChanges(bool stopAfterSaving)
{
    ModifiedReport report(*this);
    if (!m_document.state.modified)
        return true;
    const Answer answer = m_window.questions().askYesNoCancel(
        QCoreApplication::translate("DocumentController", "Подтверждение"),
        QCoreApplication::translate("DocumentController", "Конспект не сохранен. Сохранить?"),
        MessageKind::Information);
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::Yes) {
        // A save that failed or was cancelled keeps the outline (and the command stops).
        if (!save())
            return false;
        if (stopAfterSaving)
            return false;
    }
    m_document.state.modified = false;
    return true;
}

// --- New ------------------------------------------------------------------------------------------

void DocumentController::newOutline(const OutlineStart& start)
{
    ModifiedReport report(*this);
    // A template that cannot be read is named before anything is asked or changed.
    LoadResult fromTemplate;
    if (start.kind == OutlineStart::Kind::Template) {
        fromTemplate = readAnyOutlineFile(start.templateFile);
        if (!fromTemplate.ok)
            return showError(fromTemplate.message);
        applyWindowChrome(fromTemplate, m_window.windowChrome());
    }
    const bool wasModified = m_document.state.modified;
    if (!settleUnsavedChanges(true))
        return;
    DocumentState& state = m_document.state;
    // Cancelled at the name, New leaves the outline as it was: still unsaved if it was.
    const auto keepOutline = [&] { state.modified = wasModified; };
    // The name is asked first: cancelling keeps the open outline with its name, file and history.
    const QDir projects(QDir(m_document.history.programFolder).filePath(QStringLiteral("Project")));
    QString name;
    for (;;) {
        const auto entered = m_window.questions().askText(
            QCoreApplication::translate("DocumentController", "Новый конспект"),
            QCoreApplication::translate("DocumentController", "Введите название конспекта"), newOutlineName());
        if (!entered)
            return keepOutline();
        name = *entered;
        if (name.isEmpty() || !QFileInfo(projects.filePath(name)).isDir())
            break;
        const Answer answer = m_window.questions().askYesNoCancel(
            QCoreApplication::translate("DocumentController", "Подтверждение"),
            QCoreApplication::translate("DocumentController", "Данный конспект уже существует. Желаете заменить?"),
            MessageKind::Question);
        if (answer == Answer::No)
            return keepOutline();
        if (answer == Answer::Yes)
            break;
    }
    m_opened.reset();
    forgetFile();
    cleanUp(m_document);
    m_document.history.currentStep = 0;
    m_document.history.highestStep = 0;
    m_document.history.stepObjects.clear();
    m_document.history.unwrittenSteps.clear();
    emit historyChanged();
    state.hasFileName = false;
    state.outlineName = name;

    clearAll();
    m_document.session.outlineOpen = true;
    state.canvasColour = kButtonFace;
    emit canvasColourChanged();
    // The new outline is laid out for this window: its size is the one the file keeps.
    m_window.sizeOutlineToWindow();
    emit captionChanged();
    m_document.outline.frameSequence().clear();
    m_document.outline.objectSequence().clear();
    if (start.kind == OutlineStart::Kind::BuiltIn) {
        for (const TemplateFrame& f : newOutlineFrames(m_window.canvasSize(), kToolBarHeight)) {
            const int slot = m_document.outline.createFrame(f.bounds, f.title);
            m_document.outline.frame(slot).minimalText = f.minimalText;
        }
    } else if (start.kind == OutlineStart::Kind::Template) {
        takeTemplate(fromTemplate);
    }
    m_document.history.currentStep = -1;
    cleanUp(m_document);
    recordStep(StepKind::Full);
    disableObjectSwitches();
}

void DocumentController::takeTemplate(LoadResult& loaded)
{
    // The template's films are read within what its pictures left.
    useFilmBudget(loaded.budget);
    const QSize madeFor = loaded.outline.clientSize();
    m_document.outline = std::move(loaded.outline);
    m_document.outline.setSequenceRecording(true);
    m_document.state.canvasColour = loaded.canvasColour;
    emit canvasColourChanged();
    // Laid out for the window it was saved from, the template is scaled into this one, as the
    // built-in template's frames fill it.
    const QSize canvas = m_window.canvasSize();
    if (madeFor != canvas) {
        recordReferenceLayout(m_document.outline, madeFor);
        rescaleOutline(m_document.outline, canvas, m_document.session.gridStep);
    }
    m_document.outline.setClientSize(canvas);
    emit outlineReplaced();
}

// --- Open -----------------------------------------------------------------------------------------

void DocumentController::replaceOutline(LoadResult& loaded)
{
    // The outline's films are read within what its pictures left.
    useFilmBudget(loaded.budget);
    m_document.outline = std::move(loaded.outline);
    m_document.outline.setSequenceRecording(true);
    m_document.interaction = InteractionState{};
    DocumentState& state = m_document.state;
    state.outlineName = loaded.outlineName;
    state.canvasColour = loaded.canvasColour;
}

void DocumentController::openOutline(const QString& file)
{
    ModifiedReport report(*this);
    emit openCommandRun();
    DocumentState& state = m_document.state;
    emit selectionHidden();
    if (!settleUnsavedChanges(false))
        return;
    QString path = file;
    if (path.isEmpty()) {
        const auto choice = m_window.questions().chooseFileToOpen(
            QCoreApplication::translate("DocumentController", "Открыть"), outlineDialogFolder(), outlineFilter(), 1);
        if (!choice)
            return;
        path = *choice;
    }

    const QFileInfo opened(path);
    const bool recovered = opened.absolutePath()
                           == QFileInfo(QDir(snapshotFolder(m_document)).filePath(QStringLiteral("x"))).absolutePath();
    // An outline another Velmar has open (here or on another computer sharing the folder) is
    // opened read-only unless the user wants to edit it anyway. Reloading keeps the choice made.
    bool readOnly = m_reloading && m_readOnly;
    if (!recovered && !m_reloading) {
        if (const auto holder = lockHolder(path)) {
            const int answer = m_window.questions().choose(
                QCoreApplication::translate("DocumentController", "Внимание"),
                QCoreApplication::translate("DocumentController",
                                            "Конспект «%1» уже открыт в другой копии Velmar.\n\n"
                                            "Пользователь: %2\nКомпьютер: %3\nОткрыт: %4\n\n"
                                            "Если править его в двух местах сразу, изменения одной копии пропадут "
                                            "при сохранении другой. Открыть конспект только для чтения?")
                    .arg(opened.fileName(), ownerName(*holder), holder->host,
                         holder->since.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"))),
                MessageKind::Warning,
                {QCoreApplication::translate("DocumentController", "Только для чтения"),
                 QCoreApplication::translate("DocumentController", "Открыть для правки"),
                 QCoreApplication::translate("DocumentController", "Отмена")});
            if (answer != 0 && answer != 1)
                return;
            readOnly = answer == 0;
        }
    }

    const bool old = isOldFormatName(path);
    // Once the file's record is accepted, the file opens whatever its pictures hold: the outline
    // it replaces lets go of its pictures' streams and bitmaps (with the steps and the stored
    // layout that share them) before the new streams are read. The two outlines never take
    // memory at once, and the new one's streams take the memory the old ones had, already in
    // use, rather than memory handed back to the system after the last Open and faulted in again.
    LoadResult loaded = readAnyOutlineFile(path, 1.0, [this] {
        emit outlineLeaving();
        m_opened.reset();
        m_document.history.stepObjects.clear();
        m_document.outline = Outline();
    });
    if (!loaded.ok) {
        // A refused file leaves the open outline, its name and its history as they were.
        showError(loaded.message);
        return;
    }
    // Read, the outline is given the canvas its stored window has in this window's frame.
    applyWindowChrome(loaded, m_window.windowChrome());
    m_opened.reset();
    OpenedOutline asStored{loaded.outline, loaded.windowSize, 0};
    const QStringList notices = loaded.notices;
    const QString warning = loaded.message;
    if (recovered) {
        // The steps recorded after the last complete snapshot hold the latest work: bring it back.
        bool full = false;
        const int step = snapshotStep(opened.fileName(), &full);
        if (step >= 0 && full)
            applyLaterSteps(loaded, opened.absolutePath(), step);
    }
    // The outline is placed in the window before its widgets are made: the window takes the size
    // the file stores, and the outline, laid out for the canvas it was made for, is scaled into
    // the canvas it gets (fitOpenedOutline). Each object's widget is then made where the object
    // is shown, once, rather than made at the stored place and moved on the screen. Nothing is
    // drawn meanwhile: the window is seen at its new size only with the new outline's objects.
    replaceOutline(loaded);
    m_viewsBehind = true;
    auto viewsCatchUp = qScopeGuard([this] { m_viewsBehind = false; });
    m_window.showOutlineWindow(loaded.windowSize);
    state.fileName = path;
    if (recovered) {
        forgetFile();
    } else {
        // Read-only, this process holds no lock: the other Velmar's stays in force.
        m_readOnly = readOnly;
        if (readOnly)
            m_lock.release();
        followFile(path);
    }

    cleanUp(m_document);
    // The reference layout is that of the canvas the outline was made for; the window this
    // screen gives may be another size, and the outline is scaled into it.
    recordReferenceLayout(m_document.outline, m_document.outline.clientSize());
    m_window.fitOpenedOutline();
    viewsCatchUp.dismiss();
    m_viewsBehind = false;
    emit canvasColourChanged();
    emit outlineReplaced();
    m_document.session.workToSave = true;
    disableObjectSwitches();
    state.hasFileName = true;
    emit captionChanged();
    m_document.session.outlineOpen = true;

    m_document.history.currentStep = -1;
    // Read whole and as it stands, the file can be the first step itself rather than a copy.
    if (!old && !recovered && warning.isEmpty())
        m_document.history.openedFile = QFileInfo(path).absoluteFilePath();
    recordStep(StepKind::Full);
    markSaved(m_document);
    if (!recovered)
        emit fileUsed(path);
    // Kept whether or not it was scaled now: the window's real frame may still make it so.
    if (!old && !recovered && loaded.windowSize.isValid() && !loaded.windowSize.isEmpty()) {
        asStored.step = m_document.history.currentStep;
        m_opened = std::move(asStored);
    }

    if (recovered) {
        // Work recovered after a crash came from the history folder, which the clean-up empties:
        // it has no file of its own yet, and it is not saved anywhere.
        state.hasFileName = false;
        state.fileName.clear();
        state.modified = true;
        m_document.history.savedStep = -1;
    }

    if (old)
        m_window.maximizeForImportIfLarger(loaded.windowSize);

    for (const QString& notice : notices)
        m_window.questions().tell(QCoreApplication::translate("DocumentController", "Информация"), notice,
                                  MessageKind::Information);
    if (!warning.isEmpty())
        m_window.questions().tell(QCoreApplication::translate("DocumentController", "Внимание"), warning,
                                  MessageKind::Warning);
}

QString DocumentController::outlineDialogFolder() const
{
    // The user's outline lives there; work recovered from the history folder has no file.
    const DocumentState& state = m_document.state;
    if (state.hasFileName && !state.fileName.isEmpty()) {
        const QFileInfo file(state.fileName);
        if (file.absoluteDir().exists()
            && file.absolutePath()
                   != QFileInfo(QDir(snapshotFolder(m_document)).filePath(QStringLiteral("x"))).absolutePath())
            return file.absolutePath();
    }
    return m_window.dialogFolders().outlines;
}

// --- Save, Save as ----------------------------------------------------------------------------------

int DocumentController::confirmReplacingChanged(const QString& target)
{
    if (!sameFile(target, m_followedFile) || !m_stamp.changedIn(FileStamp::of(target)))
        return 1;
    const int answer = m_window.questions().choose(
        QCoreApplication::translate("DocumentController", "Внимание"),
        QCoreApplication::translate("DocumentController",
                                    "Файл «%1» изменен на диске после того, как конспект был открыт или сохранен "
                                    "здесь: его, возможно, сохранили в другой копии Velmar. Если заменить файл, "
                                    "те изменения пропадут.")
            .arg(QFileInfo(target).fileName()),
        MessageKind::Warning,
        {QCoreApplication::translate("DocumentController", "Сохранить как..."),
         QCoreApplication::translate("DocumentController", "Заменить"),
         QCoreApplication::translate("DocumentController", "Отмена")});
    if (answer == 0)
        return 0;
    return answer == 1 ? 1 : -1;
}

bool DocumentController::save()
{
    ModifiedReport report(*this);
    DocumentState& state = m_document.state;
    // An outline opened read-only is never written over: Save asks for another file.
    if (!state.hasFileName || m_readOnly)
        return saveAs();
    if (state.fileName.isEmpty())
        return false;
    switch (confirmReplacingChanged(currentFormatName(state.fileName))) {
    case 0: return saveAs();
    case -1: return false;
    default: return writeToFile();
    }
}

bool DocumentController::savesAsOpened() const
{
    return m_opened && m_window.showsOpenedLayout() && !m_document.state.modified
           && m_document.history.currentStep == m_opened->step;
}

bool DocumentController::writeToFile()
{
    DocumentState& state = m_document.state;
    // An outline read from the old format is always saved in the current one, beside it.
    const QString target = currentFormatName(state.fileName);
    m_window.followWindowSize();
    // Unedited and only fitted to this screen's window, the outline is written as its file held
    // it: opening and saving changes no byte.
    WriteResult written;
    if (savesAsOpened()) {
        Document asStored;
        asStored.outline = m_opened->outline;
        asStored.state = state;
        asStored.state.windowSize = m_opened->windowSize;
        written = writeOutlineFile(target, asStored);
    } else {
        written = writeOutlineFile(target, m_document);
    }
    if (!written.ok) {
        // Nothing was saved: the outline stays modified and Save stays available.
        showError(written.message);
        return false;
    }
    state.fileName = target;
    // Written to a file of its own, the outline is no longer read-only.
    if (m_readOnly) {
        m_readOnly = false;
        emit captionChanged();
    }
    followFile(target);
    markSaved(m_document);
    disableObjectSwitches();
    emit fileUsed(target);
    return true;
}

bool DocumentController::saveAs()
{
    ModifiedReport report(*this);
    QString folder = outlineDialogFolder();
    QString proposed = proposedFileName(m_document.state.outlineName);
    QFileInfo chosen;
    QString base;
    QString target;
    for (;;) {
        const auto choice = m_window.questions().chooseFileToSave(
            QCoreApplication::translate("DocumentController", "Сохранить как"), folder, saveFilter(), proposed, 1);
        if (!choice)
            return false;
        chosen = QFileInfo(*choice);
        base = *choice;
        if (!chosen.suffix().isEmpty())
            base.chop(chosen.suffix().size() + 1);
        target = currentFormatName(base + QStringLiteral(".vmc"));
        if (m_readOnly && sameFile(target, currentFormatName(m_document.state.fileName))) {
            showError(
                QCoreApplication::translate("DocumentController",
                                            "Конспект «%1» открыт только для чтения. Сохраните его под другим именем.")
                    .arg(QFileInfo(target).fileName()));
            return false;
        }
        // An outline another Velmar has open: that question says what replacing it costs.
        if (!sameFile(target, m_lock.outline())) {
            if (const auto holder = lockHolder(target)) {
                const int answer = m_window.questions().choose(
                    QCoreApplication::translate("DocumentController", "Внимание"),
                    QCoreApplication::translate(
                        "DocumentController",
                        "Конспект «%1» открыт в другой копии Velmar (пользователь: %2, компьютер: "
                        "%3). Если заменить его, изменения, сделанные там, пропадут.")
                        .arg(QFileInfo(target).fileName(), ownerName(*holder), holder->host),
                    MessageKind::Warning,
                    {QCoreApplication::translate("DocumentController", "Заменить"),
                     QCoreApplication::translate("DocumentController", "Отмена")});
                if (answer != 0)
                    return false;
                break;
            }
        }
        // The question names the file that will be written, whatever extension was typed.
        // (A folder of that name is no file to replace: writing will say the save failed.)
        const QFileInfo written(target);
        if (!written.exists() || written.isDir())
            break;
        const int answer = m_window.questions().choose(
            QCoreApplication::translate("DocumentController", "Подтверждение"),
            QCoreApplication::translate("DocumentController", "%1 уже существует. Заменить его?")
                .arg(written.fileName()),
            MessageKind::Question,
            {QCoreApplication::translate("DocumentController", "Да"),
             QCoreApplication::translate("DocumentController", "Нет")});
        if (answer == 0)
            break;
        // Another name, then: the dialog comes back where the user was.
        folder = written.absolutePath();
        proposed = written.fileName();
    }
    // A save that fails leaves the outline under its previous name and file.
    DocumentState& state = m_document.state;
    const DocumentState before = state;
    state.fileName = base + QStringLiteral(".vmc");
    state.outlineName = chosen.fileName();
    state.hasFileName = true;
    if (writeToFile())
        return true;
    state.fileName = before.fileName;
    state.outlineName = before.outlineName;
    state.hasFileName = before.hasFileName;
    return false;
}

void DocumentController::offerReloadIfChanged()
{
    const DocumentState& state = m_document.state;
    if (m_askingReload || m_closing || !m_document.session.outlineOpen || m_followedFile.isEmpty() || state.modified)
        return;
    const FileStamp now = FileStamp::of(m_followedFile);
    if (!m_stamp.changedIn(now) || (m_declinedReload.exists && !m_declinedReload.changedIn(now)))
        return;
    m_askingReload = true;
    const int answer = m_window.questions().choose(
        QCoreApplication::translate("DocumentController", "Подтверждение"),
        QCoreApplication::translate("DocumentController",
                                    "Файл «%1» изменен на диске, возможно, в другой копии Velmar. Здесь изменений "
                                    "нет. Загрузить конспект заново?")
            .arg(QFileInfo(m_followedFile).fileName()),
        MessageKind::Question,
        {QCoreApplication::translate("DocumentController", "Загрузить заново"),
         QCoreApplication::translate("DocumentController", "Оставить как есть")});
    m_askingReload = false;
    if (answer != 0) {
        m_declinedReload = now;
        return;
    }
    m_reloading = true;
    openOutline(m_followedFile);
    m_reloading = false;
}

// --- Close ------------------------------------------------------------------------------------------

void DocumentController::closeOutline()
{
    ModifiedReport report(*this);
    if (!settleUnsavedChanges(false))
        return;
    m_opened.reset();
    forgetFile();
    clearAll();
    m_document.outline.setOwnLayoutScale(0);
    // Nothing is left to put in order: sequences that still named the removed objects would
    // lead the overlays and the summary to objects that no longer exist.
    m_document.outline.frameSequence().clear();
    m_document.outline.objectSequence().clear();
    m_document.session.workToSave = false;
    m_document.session.outlineOpen = false;
    m_document.state.modified = false;
    m_document.state.canvasColour = kButtonFace;
    emit canvasColourChanged();
    emit selectionHidden();
    emit historyChanged();
}

void DocumentController::shutDown(bool keepHistory)
{
    m_closing = true;
    forgetFile();
    if (!keepHistory)
        cleanUp(m_document);
}

}  // namespace velmar
