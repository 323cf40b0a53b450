// Presses on the canvas, frames, titles, objects, arrows and handles, and what happens when the
// button is released.
#include "canvas/canvas_controller.h"

#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
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
    const QAction* settings = cmd("settingsMenu");
    if ((e->button() == Qt::RightButton || isDouble(e)) && settings && settings->isEnabled()) {
        doc().interaction.creationPoint = e->position().toPoint();
        showPopup("PopupMenu1", e);
    }
    enable({"ToolButton9", "ToolButton12", "N64", "N60"}, false);
    m_handles->hideAll();
}

void CanvasController::pressFrame(ObjectId frame, QWidget* widget, QMouseEvent* e)
{
    m_host.repaintIfPending();
    if (!doc().session.editMode)
        return;
    if (e->button() == Qt::LeftButton && !(e->modifiers() & Qt::AltModifier) && !isDouble(e)) {
        dropSelection();
        startTracking(Track::Move, frame, widget, e);
        return;  // the rest follows on release
    }
    afterFramePress(frame, e, false);
}

void CanvasController::pressTitle(ObjectId frame, QWidget* label, QMouseEvent* e)
{
    const bool left = e->button() == Qt::LeftButton;
    if (left)
        dropSelection();
    if (left && !(e->modifiers() & Qt::AltModifier) && doc().session.editMode) {
        // A press on a title records a step whether or not the frame moves: on release, so that
        // the step holds where the frame went.
        startTracking(Track::Move, frame, m_view->widget(frame), e);
        m_track.titlePress = true;
        return;
    }
    doc().interaction.currentCompanion = frame;
    if (e->button() == Qt::RightButton) {
        const int slot = doc().outline.findSlot(ObjectKind::Frame, frame);
        if (slot > 0)
            cmd("Y1")->setChecked(doc().outline.frame(slot).titleVisible);
        doc().interaction.creationPoint = e->position().toPoint();
        doc().interaction.currentObject = frame;
        showPopup("PopupMenu2", e);
    }
    afterFramePress(frame, nullptr, true);
}

void CanvasController::applyFrameSelection(ObjectId frame)
{
    if (doc().interaction.outerSelection != frame) {
        doc().interaction.outerSelection = frame;
        showBlackSetAround(frame);
    }
}

void CanvasController::afterFramePress(ObjectId frame, QMouseEvent* e, bool titlePress)
{
    const int slot = doc().outline.findSlot(ObjectKind::Frame, frame);
    if (slot == 0)
        return;
    doc().interaction.currentCompanion = frame;
    if (!titlePress) {
        doc().interaction.currentObject = frame;
        if (e && (e->button() == Qt::RightButton || isDouble(e)) && doc().session.editMode) {
            cmd("Y1")->setChecked(doc().outline.frame(slot).titleVisible);
            doc().interaction.creationPoint = e->position().toPoint();
            showPopup("PopupMenu2", e);
        }
    }
    m_host.redrawOverlays();
    enable({"ToolButton9", "N60"}, true);
    enable({"ToolButton12", "N64"}, false);
    const bool shown = doc().outline.frame(slot).titleVisible;
    cmd("N60")->setChecked(shown);
    cmd("ToolButton9")->setChecked(shown);
}

void CanvasController::pressObject(ObjectId id, QWidget* widget, QMouseEvent* e)
{
    const ObjectKind kind = doc().outline.kindOf(id);
    if (kind != ObjectKind::Picture)
        m_host.repaintIfPending();
    if (kind == ObjectKind::TextField) {
        const int slot = doc().outline.findSlot(ObjectKind::TextField, id);
        doc().outline.textField(slot).readOnly = !doc().session.editMode;
        static_cast<TextFieldWidget*>(widget)->setReadOnly(!doc().session.editMode);
    }
    if (!doc().session.editMode)
        return;
    const bool left = e->button() == Qt::LeftButton;
    const bool alt = e->modifiers() & Qt::AltModifier;
    if (left)
        dropSelection();
    if (left && alt && !isDouble(e)) {
        // Alt + drag: dropped on a frame, the object moves into it.
        startTracking(Track::AltDrag, id, widget, e);
        if (kind == ObjectKind::Video)
            m_host.recordStep();
        return;
    }
    if (!isDouble(e) && (!alt) == left) {
        startTracking(Track::Move, id, widget, e);
        m_track.textPress = kind == ObjectKind::TextField;
        return;
    }
    afterObjectPress(id, e, false);
}

void CanvasController::afterObjectPress(ObjectId id, QMouseEvent* e, bool moved)
{
    InteractionState& state = doc().interaction;
    const ObjectKind kind = doc().outline.kindOf(id);
    const int parent = parentFrameOf(id);
    const ObjectId frame = parent > 0 ? doc().outline.frame(parent).id : 0;
    if (moved || parent == 0) {
        // After a move, and for an object lying on the canvas, which cannot carry the black set.
        if (frame && state.outerSelection != frame) {
            state.outerSelection = frame;
            showBlackSetAround(frame);
        }
        if (state.innerSelection != id || !m_handles->blueSetVisible()) {
            state.innerSelection = id;
            showBlueSetAround(id);
        }
    }
    if (e && (e->button() == Qt::RightButton || isDouble(e))) {
        state.currentObject = id;
        state.innerSelection = id;
        state.outerSelection = frame;
        if (frame)
            showBlackSetAround(frame);
        showBlueSetAround(id);
        state.creationPoint = e->position().toPoint();
        const char* menu = kind == ObjectKind::Picture     ? "PopupMenu3"
                           : kind == ObjectKind::Video     ? "PopupMenu4"
                           : kind == ObjectKind::Caption   ? "PopupMenu5"
                                                           : "PopupMenu7";
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
        const bool stretched = doc().outline.picture(ref.slot).stretched;
        enable({"ToolButton12"}, true);
        cmd("ToolButton12")->setChecked(stretched);
        cmd("N59")->setChecked(stretched);
    } else {
        enable({"ToolButton12"}, false);
        if (ref.kind == ObjectKind::Video) {
            state.currentCompanion = id;
            cmd("N34")->setChecked(doc().outline.video(ref.slot).playerVisible);
        }
        enable({"N64"}, false);
    }
    enable({"ToolButton9", "N60"}, false);
    m_host.redrawOverlays();
}

void CanvasController::pressArrow(ObjectId id, QWidget* widget, QMouseEvent* e)
{
    dropSelection();
    const int slot = doc().outline.findSlot(ObjectKind::Arrow, id);
    if (slot == 0)
        return;
    doc().interaction.selectedArrow = slot;
    if (e->button() == Qt::LeftButton && !isDouble(e) && doc().session.editMode)
        startTracking(Track::Arrow, id, widget, e);
    placeArrowHandlesFor(slot);
    if (e->button() == Qt::RightButton || isDouble(e)) {
        doc().interaction.currentObject = id;
        showPopup("PopupMenu6", e);
    }
}

void CanvasController::pressHandle(const QString& name, QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const int number = name.mid(5).toInt();
    const bool outer = number <= 11;
    const ObjectId target = outer ? doc().interaction.outerSelection : doc().interaction.innerSelection;
    if (!doc().outline.find(target).isValid())
        return;
    m_handles->hideBlackSet();
    m_handles->hideBlueSet();
    if (!outer)
        m_handles->hideArrowHandles();
    QWidget* widget = m_view->widget(target);
    const Edge edge = handleEdge(name).value_or(Edge::Move);
    startTracking(edge == Edge::Move ? Track::Move : Track::Size, target, widget, e);
    m_track.edge = edge;
    m_track.outer = outer;
    m_track.handle = name;
    m_track.following = true;  // handles follow the pointer from the first pixel
    // The pressed handle has just been hidden and would lose the pointer with it: the canvas holds
    // the pointer until the button is released, so the object follows it all the way.
    m_canvas->grabMouse();
    m_track.grabbed = true;
}

void CanvasController::pressArrowEnd(const QString& name, QMouseEvent* e)
{
    if (!doc().session.editMode || e->button() != Qt::LeftButton || doc().interaction.selectedArrow == 0)
        return;
    m_track = Tracking{};
    m_track.track = Track::ArrowEnd;
    m_track.handle = name;
    m_track.handleStart = name == QLatin1String("Panel23") ? m_handles->arrowStart() : m_handles->arrowEnd();
    m_track.startGlobal = e->globalPosition().toPoint();
    m_track.following = true;
}

// --- releases -----------------------------------------------------------------------------------

void CanvasController::finishMove()
{
    const ObjectId id = m_track.id;
    const bool changed = boundsOf(id).topLeft() != m_track.startRect.topLeft();
    const bool handle = !m_track.handle.isEmpty();
    if (changed || m_track.titlePress)
        m_host.recordStep();
    const ObjectKind kind = doc().outline.kindOf(id);
    if (handle) {
        // A move bar: both sets stand again around the selections.
        if (doc().interaction.outerSelection)
            showBlackSetAround(doc().interaction.outerSelection);
        if (m_track.handle == QLatin1String("Panel20") && doc().interaction.innerSelection)
            showBlueSetAround(doc().interaction.innerSelection);
        m_host.redrawOverlays();
        return;
    }
    if (kind == ObjectKind::Frame) {
        applyFrameSelection(id);
        if (!m_track.titlePress) {
            doc().interaction.currentCompanion = id;
            doc().interaction.currentObject = id;
        }
        const Tracking t = m_track;
        afterFramePress(id, nullptr, t.titlePress);
    } else {
        afterObjectPress(id, nullptr, true);
    }
}

void CanvasController::finishSize()
{
    const ObjectId id = m_track.id;
    if (boundsOf(id).size() != m_track.startRect.size())
        m_host.recordStep();
    if (m_track.outer) {
        showBlackSetAround(id);
    } else {
        showBlueSetAround(id);
        const int parent = parentFrameOf(id);
        if (parent > 0 && doc().interaction.outerSelection)
            showBlackSetAround(doc().interaction.outerSelection);
    }
    m_view->sync();
    m_host.redrawOverlays();
}

void CanvasController::finishAltDrag(QMouseEvent* e)
{
    if (m_track.widget)
        m_track.widget->unsetCursor();
    const ObjectId id = m_track.id;
    const ObjectRef ref = doc().outline.find(id);
    if (!ref.isValid())
        return;
    // Find the frame under the pointer; dropping anywhere else leaves the object where it was.
    const QPoint global = e->globalPosition().toPoint();
    const QPoint onCanvas = m_canvas->mapFromGlobal(global);
    int target = 0;
    for (int k = doc().outline.count(ObjectKind::Frame); k >= 1 && target == 0; --k)
        if (doc().outline.frame(k).bounds.contains(onCanvas) && m_view->frameWidget(k)
            && m_view->frameWidget(k)->isVisible())
            target = k;
    if (target == 0)
        return;
    const QPoint drop = onCanvas - doc().outline.frame(target).bounds.topLeft();
    QRect r = boundsOf(id);
    r.moveTopLeft(drop);
    Outline& o = doc().outline;
    const quint8 number = o.parentFrameNumber(target);
    switch (ref.kind) {
    case ObjectKind::Picture: o.picture(ref.slot).bounds = r; o.picture(ref.slot).parentFrame = number; break;
    case ObjectKind::TextField: o.textField(ref.slot).bounds = r; o.textField(ref.slot).parentFrame = number; break;
    case ObjectKind::Video: o.video(ref.slot).bounds = r; o.video(ref.slot).parentFrame = number; break;
    case ObjectKind::Caption: o.caption(ref.slot).bounds = r; o.caption(ref.slot).parentFrame = number; break;
    default: return;
    }
    m_view->sync();
    m_host.redrawOverlays();
    m_handles->hideBlackSet();
    m_handles->hideBlueSet();
    m_host.recordStep();
}

void CanvasController::finishArrowDrag(QMouseEvent* e)
{
    const int slot = doc().outline.findSlot(ObjectKind::Arrow, m_track.id);
    if (slot == 0 || !doc().session.editMode)
        return;
    mouseMoved(e);  // the last offset
    if (m_track.arrowMoved) {
        m_view->sync();
        m_host.recordStep();
    }
}

void CanvasController::finishArrowEnd()
{
    const int slot = doc().interaction.selectedArrow;
    if (slot < 1 || slot > doc().outline.count(ObjectKind::Arrow))
        return;
    ArrowObject& a = doc().outline.arrow(slot);
    const QPoint start = m_handles->arrowStart();
    const QPoint end = m_handles->arrowEnd();
    a.x1 = storableCoordinate(start.x());
    a.y1 = storableCoordinate(start.y());
    a.x2 = storableCoordinate(end.x());
    a.y2 = storableCoordinate(end.y());
    m_view->sync();
    const QPoint dropped = m_track.handle == QLatin1String("Panel23") ? start : end;
    if (dropped != m_track.handleStart)
        m_host.recordStep();
}

}  // namespace velmar
