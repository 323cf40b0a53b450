// Several objects at once: choosing them (Ctrl/Shift+click, the rubber band, select all), showing
// them, dragging, aligning, distributing and deleting them, and placing pasted copies.
#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "canvas/group_gestures.h"
#include "canvas/group_overlay.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/object_transfer.h"
#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <algorithm>

namespace velmar {

ObjectGroup CanvasController::chosenObjects(bool fromPopup) const
{
    const OpenOutline& d = m_host.document();
    const Outline& o = d.outline;
    const ObjectGroup group = groupLeaders(o, d.interaction.group);
    if (fromPopup) {
        const ObjectId id = d.interaction.currentObject;
        if (!o.find(id).isValid())
            return {};
        if (std::find(group.begin(), group.end(), id) != group.end())
            return group;
        return {id};
    }
    if (!group.empty())
        return group;
    const int arrow = d.interaction.selectedArrow;
    if (m_handles->model().arrowHandles && arrow >= 1 && arrow <= o.count(ObjectKind::Arrow))
        return {o.arrow(arrow).id};
    if (const ObjectId id = keyboardTarget(); id && o.find(id).isValid())
        return {id};
    return {};
}

void CanvasController::showGroup()
{
    OpenOutline& d = doc();
    ObjectGroup& group = d.interaction.group;
    group = groupLeaders(d.outline, group);
    std::vector<QRect> members;
    for (ObjectId id : group)
        members.push_back(canvasRectOf(d.outline, id));
    if (!group.empty()) {
        // The group replaces the single selection and its handles.
        d.interaction.outerSelection = 0;
        d.interaction.innerSelection = 0;
        d.interaction.selectedArrow = 0;
        m_handles->hideAll();
    }
    m_groupOverlay->showGroup(std::move(members), groupBounds(d.outline, group));
    // Aligning is offered while two are chosen, distributing while three are.
    m_host.showCommandStates();
}

void CanvasController::showBand(const QRect& band) { m_groupOverlay->showBand(band); }

void CanvasController::setGroup(const ObjectGroup& group)
{
    doc().interaction.group = group;
    showGroup();
}

void CanvasController::selectAll()
{
    if (!doc().session.editMode || !doc().session.outlineOpen)
        return;
    setGroup(allTopObjects(doc().outline));
}

bool CanvasController::toggleInGroup(ObjectId id)
{
    OpenOutline& d = doc();
    if (!d.session.editMode || !id || !d.outline.find(id).isValid())
        return false;
    ObjectGroup group = groupLeaders(d.outline, d.interaction.group);
    if (group.empty())
        group = chosenObjects(false);  // the object chosen so far is the first of the group
    if (const auto at = std::find(group.begin(), group.end(), id); at != group.end())
        group.erase(at);
    else
        group.push_back(id);
    setGroup(group);
    return true;
}

bool CanvasController::pressGroupMember(ObjectId id, QMouseEvent* e)
{
    const OpenOutline& d = doc();
    if (!d.session.editMode || e->type() != QEvent::MouseButtonPress
        || (e->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier)))
        return false;
    const ObjectGroup& group = d.interaction.group;
    if (group.size() < 2 || std::find(group.begin(), group.end(), id) == group.end())
        return false;
    startGesture(std::make_unique<GroupMoveGesture>(context(), pointer(*e)));
    return true;
}

bool CanvasController::alignGroup(GroupAlignment alignment)
{
    if (!velmar::alignGroup(doc().outline, doc().interaction.group, alignment))
        return false;
    recordStep(StepKind::HeaderOnly);
    showGroup();
    return true;
}

bool CanvasController::distributeGroup(bool horizontally)
{
    if (!velmar::distributeGroup(doc().outline, doc().interaction.group, horizontally))
        return false;
    recordStep(StepKind::HeaderOnly);
    showGroup();
    return true;
}

bool CanvasController::deleteGroup()
{
    const ObjectGroup group = groupLeaders(doc().outline, doc().interaction.group);
    if (group.empty())
        return false;
    const auto answer = dialogs().ask(
        m_host.dialogParent(), QCoreApplication::translate("ObjectCommands", "Подтверждение"),
        QCoreApplication::translate("ObjectCommands", "Вы действительно хотите удалить выбранные объекты (%1)?")
            .arg(group.size()),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Information);
    if (answer == QMessageBox::Yes)
        removeObjects(group);
    return true;
}

void CanvasController::removeObjects(const ObjectGroup& objects)
{
    if (groupLeaders(doc().outline, objects).empty())
        return;
    dropSelection();
    doc().interaction.selectedArrow = 0;
    m_handles->hideArrowHandles();
    velmar::removeGroup(doc().outline, objects);
    InteractionState& state = doc().interaction;
    if (!doc().outline.find(state.currentObject).isValid())
        state.currentObject = 0;
    if (!doc().outline.find(state.currentCompanion).isValid())
        state.currentCompanion = 0;
    state.offeredSwitch = ObjectSwitch::None;
    recordStep(StepKind::Full);
    m_host.redrawOverlays();
}

bool CanvasController::pasteCopy(const Outline& copy, QPoint delta, int intoFrame)
{
    OpenOutline& d = doc();
    if (!d.session.outlineOpen)
        return false;
    const PasteResult result = pasteObjects(d.outline, copy, delta, intoFrame);
    if (!result.refusal.isEmpty()) {
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("ObjectCommands", "Внимание"),
                         result.refusal, QMessageBox::Information);
        return false;
    }
    if (result.pasted.empty())
        return false;
    dropSelection();
    doc().interaction.selectedArrow = 0;
    m_handles->hideArrowHandles();
    recordStep(StepKind::Full);
    setGroup(result.pasted);
    return true;
}

int CanvasController::frameSlotAt(QPoint canvasPoint) const
{
    QPoint topLeft;
    return placeNewObject(canvasPoint, &topLeft);
}

}  // namespace velmar
