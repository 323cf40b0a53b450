// Presses on the canvas, frames, titles, objects, arrows and handles: what they select, the menus
// they open and the gestures they start, and what a finished press leaves chosen.
#include "canvas/alt_drop_gesture.h"
#include "canvas/arrow_drag_gesture.h"
#include "canvas/arrow_end_gesture.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_kinds.h"
#include "canvas/canvas_widget.h"
#include "canvas/group_gestures.h"
#include "canvas/move_gesture.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/resize_gesture.h"
#include "canvas/selection_handles.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

namespace velmar {

namespace {

bool isDouble(const QMouseEvent* e) { return e->type() == QEvent::MouseButtonDblClick; }

}  // namespace

void CanvasController::pressCanvas(QMouseEvent* e)
{
    m_host.repaintIfPending();
    doc().interaction.offeredSwitch = ObjectSwitch::None;
    m_handles->hideAll();
    m_host.showCommandStates();
    // The canvas's menu works on an open outline, as the settings do.
    if ((e->button() == Qt::RightButton || isDouble(e)) && doc().session.outlineOpen) {
        doc().interaction.creationPoint = e->position().toPoint();
        showPopup(commands().menu(Menu::Canvas), e);
    }
    // A drag on the empty canvas draws a rubber band choosing what it encloses.
    if (e->button() == Qt::LeftButton && !isDouble(e) && doc().session.editMode && doc().session.outlineOpen) {
        const bool adding = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if (!adding && !doc().interaction.group.empty())
            setGroup({});
        startGesture(std::make_unique<RubberBandGesture>(context(), pointer(*e), adding));
    }
}

void CanvasController::pressFrame(ObjectId frame, QMouseEvent* e)
{
    m_host.repaintIfPending();
    if (!doc().session.editMode)
        return;
    if (e->button() == Qt::LeftButton && !(e->modifiers() & Qt::AltModifier) && !isDouble(e)) {
        dropSelection();
        startGesture(std::make_unique<MoveGesture>(context(), pointer(*e), frame, MoveGesture::Grip::Body));
        return;  // the rest follows on release
    }
    afterFramePress(frame, e, false);
}

void CanvasController::pressTitle(ObjectId frame, QMouseEvent* e)
{
    const bool left = e->button() == Qt::LeftButton;
    if (left)
        dropSelection();
    if (left && !(e->modifiers() & Qt::AltModifier) && doc().session.editMode) {
        // A press on a title moves the frame; the step is recorded on release, and only if the
        // frame went somewhere.
        startGesture(std::make_unique<MoveGesture>(context(), pointer(*e), frame, MoveGesture::Grip::Title));
        return;
    }
    doc().interaction.currentCompanion = frame;
    if (e->button() == Qt::RightButton) {
        doc().interaction.creationPoint = e->position().toPoint();
        doc().interaction.currentObject = frame;
        showPopup(commands().menu(Menu::Frame), e);
    }
    afterFramePress(frame, nullptr, true);
}

void CanvasController::frameChosen(ObjectId frame, bool titlePress)
{
    InteractionState& state = doc().interaction;
    if (state.outerSelection != frame) {
        state.outerSelection = frame;
        m_handles->showBlackSet(frame);
    }
    if (!titlePress) {
        state.currentCompanion = frame;
        state.currentObject = frame;
    }
    afterFramePress(frame, nullptr, titlePress);
}

void CanvasController::objectChosen(ObjectId id) { afterObjectPress(id, nullptr, true); }

void CanvasController::afterFramePress(ObjectId frame, QMouseEvent* e, bool titlePress)
{
    const int slot = doc().outline.findSlot(ObjectKind::Frame, frame);
    if (slot == 0)
        return;
    doc().interaction.currentCompanion = frame;
    if (!titlePress) {
        doc().interaction.currentObject = frame;
        if (e && (e->button() == Qt::RightButton || isDouble(e)) && doc().session.editMode) {
            doc().interaction.creationPoint = e->position().toPoint();
            showPopup(commands().menu(Menu::Frame), e);
        }
    }
    m_host.redrawOverlays();
    doc().interaction.offeredSwitch = ObjectSwitch::FrameTitle;
    doc().interaction.switchButtonsOn = true;
    m_host.showCommandStates();
}

void CanvasController::pressObject(ObjectId id, QMouseEvent* e)
{
    const ObjectKind kind = doc().outline.kindOf(id);
    if (kind != ObjectKind::Picture)
        m_host.repaintIfPending();
    if (kind == ObjectKind::TextField) {
        const int slot = doc().outline.findSlot(ObjectKind::TextField, id);
        doc().outline.textField(slot).readOnly = !doc().session.editMode;
        if (auto* field = qobject_cast<TextFieldWidget*>(m_view->widget(id)))
            field->setReadOnly(!doc().session.editMode);
    }
    if (!doc().session.editMode)
        return;
    const bool left = e->button() == Qt::LeftButton;
    const bool alt = e->modifiers() & Qt::AltModifier;
    if (left)
        dropSelection();
    if (left && alt && !isDouble(e)) {
        // Alt + drag: dropped on a frame, the object moves into it.
        startGesture(std::make_unique<AltDropGesture>(context(), pointer(*e), id));
        if (kind == ObjectKind::Video)
            m_host.documents().recordStep(StepKind::HeaderOnly);
        return;
    }
    if (!isDouble(e) && (!alt) == left) {
        const auto grip = kind == ObjectKind::TextField ? MoveGesture::Grip::TextBody : MoveGesture::Grip::Body;
        startGesture(std::make_unique<MoveGesture>(context(), pointer(*e), id, grip));
        return;
    }
    afterObjectPress(id, e, false);
}

void CanvasController::afterObjectPress(ObjectId id, QMouseEvent* e, bool moved)
{
    InteractionState& state = doc().interaction;
    const ObjectKind kind = doc().outline.kindOf(id);
    const int parent = parentFrameOf(doc().outline, id);
    const ObjectId frame = parent > 0 ? doc().outline.frame(parent).id : 0;
    if (moved || parent == 0) {
        // After a move, and for an object lying on the canvas, which cannot carry the black set.
        if (frame && state.outerSelection != frame) {
            state.outerSelection = frame;
            m_handles->showBlackSet(frame);
        }
        if (state.innerSelection != id || !m_handles->blueSetVisible()) {
            state.innerSelection = id;
            m_handles->showBlueSet(id);
        }
    }
    if (e && (e->button() == Qt::RightButton || isDouble(e))) {
        state.currentObject = id;
        state.innerSelection = id;
        state.outerSelection = frame;
        // An object on the canvas has no frame to mark: a frame marked before loses its handles.
        if (frame)
            m_handles->showBlackSet(frame);
        else
            m_handles->hideBlackSet();
        m_handles->showBlueSet(id);
        state.creationPoint = e->position().toPoint();
        QMenu* menu = popupMenuFor(commands(), kind);
        syncToolStatesForObject(id);
        showPopup(menu, e);
        return;
    }
    syncToolStatesForObject(id);
}

void CanvasController::syncToolStatesForObject(ObjectId id)
{
    InteractionState& state = doc().interaction;
    const ObjectRef ref = doc().outline.find(id);
    state.currentObject = id;
    if (ref.kind == ObjectKind::Picture) {
        state.currentCompanion = id;
        const int parent = doc().outline.picture(ref.slot).parentFrame;
        state.outerSelection = parent > 0 ? doc().outline.frame(parent).id : 0;
        state.offeredSwitch = ObjectSwitch::PictureStretch;
        state.switchButtonsOn = true;
    } else {
        if (ref.kind == ObjectKind::Video)
            state.currentCompanion = id;
        state.offeredSwitch = ObjectSwitch::None;
    }
    m_host.redrawOverlays();
    m_host.showCommandStates();
}

void CanvasController::pressArrow(ObjectId id, QMouseEvent* e)
{
    dropSelection();
    const int slot = doc().outline.findSlot(ObjectKind::Arrow, id);
    if (slot == 0)
        return;
    doc().interaction.selectedArrow = slot;
    if (e->button() == Qt::LeftButton && !isDouble(e) && doc().session.editMode)
        startGesture(std::make_unique<ArrowDragGesture>(context(), pointer(*e), id));
    placeArrowHandlesFor(slot);
    if (e->button() == Qt::RightButton || isDouble(e)) {
        doc().interaction.currentObject = id;
        showPopup(commands().menu(Menu::Arrow), e);
    }
}

void CanvasController::pressHandle(const HandleRole& handle, QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const bool outer = handle.set == SelectionSet::Black;
    const ObjectId target = outer ? doc().interaction.outerSelection : doc().interaction.innerSelection;
    if (!doc().outline.find(target).isValid())
        return;
    m_handles->hideBlackSet();
    m_handles->hideBlueSet();
    if (!outer)
        m_handles->hideArrowHandles();
    // The pressed handle has just been hidden and would lose the pointer with it: the gesture
    // holds the pointer on the canvas until the button is released.
    const PointerInput press = pointer(*e);
    const Edge edge = handle.edge;
    if (edge == Edge::Move)
        startGesture(std::make_unique<MoveGesture>(
            context(), press, target, outer ? MoveGesture::Grip::BlackMoveBar : MoveGesture::Grip::BlueMoveBar));
    else
        startGesture(std::make_unique<ResizeGesture>(context(), press, target, edge, outer));
}

void CanvasController::pressArrowEnd(bool start, QMouseEvent* e)
{
    if (!doc().session.editMode || e->button() != Qt::LeftButton || doc().interaction.selectedArrow == 0)
        return;
    startGesture(std::make_unique<ArrowEndGesture>(context(), pointer(*e), start));
}

}  // namespace velmar
