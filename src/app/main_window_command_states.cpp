// The state of every command of the main window (enabled, checked, caption), derived from the
// document in one place: the commands themselves only change the document.
#include "app/main_window.h"
#include "platform/history_action.h"

#include <QAction>

namespace velmar {

namespace {

template <typename Object>
const Object* objectAt(const Outline& outline, ObjectId id)
{
    const ObjectRef ref = outline.find(id);
    if (!ref.isValid())
        return nullptr;
    if constexpr (std::is_same_v<Object, FrameObject>)
        return ref.kind == ObjectKind::Frame ? &outline.frame(ref.slot) : nullptr;
    else if constexpr (std::is_same_v<Object, PictureObject>)
        return ref.kind == ObjectKind::Picture ? &outline.picture(ref.slot) : nullptr;
    else
        return ref.kind == ObjectKind::Video ? &outline.video(ref.slot) : nullptr;
}

void setStates(std::initializer_list<QAction*> actions, bool enabled)
{
    for (QAction* action : actions)
        action->setEnabled(enabled);
}

void setChecks(std::initializer_list<QAction*> actions, bool checked)
{
    for (QAction* action : actions)
        action->setChecked(checked);
}

}  // namespace

void MainWindow::followCommandStates()
{
    // Undo and redo follow the history's own signal, as the actions of an undo stack do.
    const DocumentController* d = m_documents;
    followHistory(m_commands.undo, d, &DocumentController::historyChanged, [d] { return d->canUndo(); });
    followHistory(m_commands.redo, d, &DocumentController::historyChanged, [d] { return d->canRedo(); });
    // Everything else is derived again whenever the document says it changed, and after every
    // command, whatever it did (a command that changed nothing puts back the check mark its
    // click flipped).
    for (auto signal : {&DocumentController::objectsChanged, &DocumentController::outlineReplaced,
                        &DocumentController::historyChanged, &DocumentController::captionChanged,
                        &DocumentController::canvasColourChanged, &DocumentController::selectionHidden,
                        &DocumentController::commandEnded})
        connect(d, signal, this, &MainWindow::showCommandStates);
    for (QAction* action : std::as_const(m_commands.byName))
        connect(action, &QAction::triggered, this, &MainWindow::showCommandStates, Qt::UniqueConnection);
    showCommandStates();
}

void MainWindow::showCommandStates()
{
    const CommandRegistry& c = m_commands;
    const Outline& o = m_document.outline;
    const SessionState& session = m_document.session;
    const InteractionState& chosen = m_document.interaction;

    // File: whatever can be saved can be saved as a picture, a web page, and printed.
    setStates({c.saveAs, c.exportPicture, c.exportWebPage, c.print, c.printPreview, c.close}, session.workToSave);
    setStates({c.saveItem, c.saveButton}, m_documents->canSave());

    // The session's switches act on an open outline.
    setStates({c.settingsMenu, c.editModeButton, c.gridButton, c.zoomButton, c.canvasColourButton},
              session.outlineOpen);
    setChecks({c.editModeButton, c.editModeItem}, session.editMode);
    setChecks({c.gridButton, c.gridItem}, session.gridOn);
    setChecks({c.zoomButton, c.zoomItem}, session.zoomOn);

    // The frame-title and stretch switches act on the object chosen last; the pop-up items on the
    // object whose menu opens. The settings menu's stretch item is never offered (it stays hidden).
    // With no such object a check mark is left as it is: it describes nothing, and no command
    // that shows it is offered.
    const bool titleOffered = chosen.offeredSwitch == ObjectSwitch::FrameTitle;
    c.frameTitlesItem->setEnabled(titleOffered);
    c.frameTitlesButton->setEnabled(titleOffered && chosen.switchButtonsOn);
    c.stretchButton->setEnabled(chosen.offeredSwitch == ObjectSwitch::PictureStretch && chosen.switchButtonsOn);
    c.stretchSettingsItem->setEnabled(false);
    if (const FrameObject* titled = objectAt<FrameObject>(o, chosen.currentCompanion))
        setChecks({c.frameTitlesItem, c.frameTitlesButton, c.frameTitlePopupItem}, titled->titleVisible);
    if (const PictureObject* picture = objectAt<PictureObject>(o, chosen.currentCompanion))
        setChecks({c.stretchButton, c.stretchSettingsItem}, picture->stretched);
    if (const PictureObject* picture = objectAt<PictureObject>(o, chosen.currentObject)) {
        c.stretchPopupItem->setChecked(picture->stretched);
        c.pictureBorderNone->setChecked(picture->border == 0);
        c.pictureBorderSingle->setChecked(picture->border == 1);
    }
    const VideoObject* video = objectAt<VideoObject>(o, chosen.currentCompanion);
    if (!video)
        video = objectAt<VideoObject>(o, chosen.currentObject);
    if (video)
        c.playerButtons->setChecked(video->playerVisible);

    // The reading-order overlays: one at a time.
    c.frameOverlayButton->setChecked(session.overlay == OrderOverlay::Frames);
    c.objectOverlayButton->setChecked(session.overlay == OrderOverlay::Objects);
    setStates({c.moveEarlierButton, c.moveLaterButton}, chosen.orderButtonsOn);
}

}  // namespace velmar
