#include "canvas/canvas_controller.h"

#include "canvas/arrow_geometry.h"
#include "canvas/canvas_kinds.h"
#include "canvas/canvas_widget.h"
#include "canvas/group_overlay.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/arrow_attachment.h"
#include "model/text_metrics.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace velmar {

namespace {

// Takes the keyboard to the canvas whenever anything in the main window other than a text field
// is pressed (an object, the canvas, a handle, the tool bar, the menu bar), so that typing and the
// outline's shortcuts never go to a field the user has left.
class FocusToCanvas : public QObject {
public:
    explicit FocusToCanvas(QWidget* canvas) : QObject(canvas), m_canvas(canvas) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != m_canvas->window())
            return false;
        for (QWidget* w = widget; w; w = w->parentWidget())
            if (qobject_cast<TextFieldWidget*>(w) || w->property("keepsKeyboard").toBool())
                return false;
        if (m_canvas->isVisible() && m_canvas->isEnabled() && !m_canvas->hasFocus())
            m_canvas->setFocus(Qt::MouseFocusReason);
        return false;
    }

private:
    QWidget* m_canvas;
};

}  // namespace

CanvasController::CanvasController(CanvasHost& host, CanvasWidget* canvas, OutlineView* view, SelectionHandles* handles)
    : QObject(canvas), m_host(host), m_canvas(canvas), m_view(view), m_handles(handles)
{
    canvas->installEventFilter(this);
    new FocusToCanvas(canvas);
    handles->installHandleFilter(this);
    view->setEventFilter(this);
    // The handles follow every change of the outline's geometry (moves, grid snapping, fitting).
    connect(view, &OutlineView::synced, handles, &SelectionHandles::refresh);
    m_groupOverlay = new GroupOverlay(canvas);
    connect(view, &OutlineView::synced, this, &CanvasController::showGroup);
    // A replaced outline numbers its objects anew: no group outlives it.
    for (auto signal : {&DocumentController::outlineReplaced, &DocumentController::selectionHidden})
        connect(&host.documents(), signal, this, [this] {
            doc().interaction.group.clear();
            showGroup();
        });
    connect(view, &OutlineView::textFieldEdited, this, [this](ObjectId id) {
        // Typed text is part of the outline at once: closing must ask to save it.
        m_host.documents().markModifiedWithoutStep();
        autoSizeTextField(id);
    });
}

void CanvasController::dropSelection()
{
    doc().interaction.outerSelection = 0;
    doc().interaction.innerSelection = 0;
    m_handles->hideAll();
    if (!doc().interaction.group.empty()) {
        doc().interaction.group.clear();
        showGroup();
    }
}

void CanvasController::selectObject(ObjectId id)
{
    const ObjectRef ref = doc().outline.find(id);
    if (!ref.isValid() || ref.kind == ObjectKind::Arrow)
        return;
    doc().interaction.selectedArrow = 0;
    m_handles->hideArrowHandles();
    dropSelection();
    if (!doc().session.editMode) {
        doc().interaction.currentObject = id;
        m_host.showCommandStates();
        return;
    }
    if (ref.kind == ObjectKind::Frame)
        frameChosen(id, false);
    else
        objectChosen(id);
}

// --- what gestures reach ----------------------------------------------------------------------

HandleLayer& CanvasController::handles() { return *m_handles; }

void CanvasController::placeWidget(ObjectId id)
{
    QWidget* w = m_view->widget(id);
    if (!w)
        return;
    const Outline& o = doc().outline;
    if (const int arrow = o.findSlot(ObjectKind::Arrow, id)) {
        const ArrowObject& a = o.arrow(arrow);
        w->move(arrowGeometry(a.x1, a.y1, a.x2, a.y2).imageRect.topLeft());
    } else {
        w->setGeometry(objectBounds(o, id));
        // The arrows attached to it (or to what lies in it) come along while it is dragged.
        m_view->showArrows(followAttachments(doc().outline));
    }
}

void CanvasController::syncView() { m_host.documents().objectsEdited(); }

void CanvasController::showDragCursor(ObjectId id, bool dragging)
{
    if (QWidget* w = m_view->widget(id)) {
        if (dragging)
            w->setCursor(Qt::DragMoveCursor);
        else
            w->unsetCursor();
    }
}

void CanvasController::showPopup(QMenu* menu, QMouseEvent* e)
{
    // The menu's check marks show the object it was opened for.
    m_host.showCommandStates();
    if (menu)
        menu->popup(e->globalPosition().toPoint());
}

void CanvasController::placeArrowHandlesFor(int slot)
{
    const ArrowObject& a = doc().outline.arrow(slot);
    m_handles->showArrowHandles(QPoint(a.x1, a.y1), QPoint(a.x2, a.y2));
}

void CanvasController::autoSizeTextField(ObjectId id)
{
    if (!doc().session.editMode || doc().interaction.currentObject != id)
        return;
    const int slot = doc().outline.findSlot(ObjectKind::TextField, id);
    if (slot == 0)
        return;
    TextFieldObject& field = doc().outline.textField(slot);
    const std::optional<QSize> size = velmar::autoSizeTextField(field.text, field.font);
    if (!size)
        return;
    // The field grows with its text only as far as its frame has room: beyond, the frame would cut
    // it off. A field the user made larger than that keeps its size.
    const QSize room = doc().outline.parentSize(field.parentFrame) - QSize(field.bounds.x(), field.bounds.y());
    field.bounds.setSize(size->boundedTo(room.expandedTo(field.bounds.size())));
    placeWidget(id);
    // The blue handles follow the field's new size where they mark it. A field typed into as part
    // of a group is not the selected object: the group's outline marks it, not handles of its own.
    if (doc().interaction.innerSelection == id)
        m_handles->showBlueSet(id);
}

// --- event dispatch ----------------------------------------------------------------------------

bool CanvasController::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease && type != QEvent::KeyPress && type != QEvent::KeyRelease
        && type != QEvent::FocusOut && type != QEvent::FocusIn)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;

    // Text fields receive their mouse events in their viewport.
    QWidget* objectWidget = widget;
    auto* titledFrame = qobject_cast<FrameWidget*>(widget->parentWidget());
    const bool frameTitle = titledFrame && widget == titledFrame->title();
    if (objectId(widget) == 0 && !frameTitle && widget->parentWidget()
        && qobject_cast<TextFieldWidget*>(widget->parentWidget()))
        objectWidget = widget->parentWidget();
    const ObjectId id = objectId(objectWidget);

    if (m_gesture && type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancelGesture();
        return true;
    }
    if (m_gesture && type == QEvent::FocusOut
        && static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason)
        cancelGesture();  // another window took the keyboard (and may keep the release)
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        // A key fits the box when it was pressed in the field: the release of a key pressed
        // elsewhere (the Return that chose "Выровнять рамку" in the menu) leaves the box alone.
        if (qobject_cast<TextFieldWidget*>(objectWidget)) {
            if (type == QEvent::KeyPress)
                m_keyPressedIn = id;
            else if (m_keyPressedIn == id)
                autoSizeTextField(id);
        }
        return false;
    }
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        if (auto* text = qobject_cast<TextFieldWidget*>(objectWidget)) {
            // Typing is recorded as one history step when the text field loses the focus, so
            // that typed text marks the outline modified and can be undone.
            if (type == QEvent::FocusIn)
                m_textAtFocus = text->modelText();
            else if (text->modelText() != m_textAtFocus && doc().outline.findSlot(ObjectKind::TextField, id))
                m_host.documents().recordStep(StepKind::HeaderOnly);
        }
        return false;
    }

    auto* mouse = static_cast<QMouseEvent*>(event);
    m_receiver = widget;
    if (type == QEvent::MouseMove)
        return m_gesture && m_gesture->move(pointer(*mouse));
    if (type == QEvent::MouseButtonRelease) {
        if (!m_gesture)
            return false;
        const bool took = m_gesture->release(pointer(*mouse));
        endGesture();
        return took;
    }

    // A press.
    if (mouse->button() == Qt::RightButton)
        if (auto* text = qobject_cast<TextFieldWidget*>(objectWidget); text && text->isBeingTyped())
            return true;  // no object's menu: the field opens the text's own on the context menu event
    if (const std::optional<HandleRole> handle = m_handles->roleOf(widget)) {
        if (handle->kind == HandleRole::Kind::SetHandle)
            pressHandle(*handle, mouse);
        else
            pressArrowEnd(handle->kind == HandleRole::Kind::ArrowStart, mouse);
        return true;
    }
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton && widget != m_canvas) {
        const ObjectId pressed = frameTitle ? objectId(widget->parentWidget()) : id;
        if ((mouse->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) && toggleInGroup(pressed))
            return true;
        if (pressGroupMember(pressed, mouse))
            return true;
    }
    if (widget == m_canvas) {
        pressCanvas(mouse);
        return true;
    }
    if (frameTitle) {
        pressTitle(objectId(widget->parentWidget()), mouse);
        return true;
    }
    if (id == 0)
        return false;
    const ObjectKind kind = doc().outline.kindOf(id);
    if (kind == ObjectKind::Frame) {
        pressFrame(id, mouse);
        return true;
    }
    if (kind == ObjectKind::Arrow) {
        pressArrow(id, mouse);
        return true;
    }
    pressObject(id, mouse);
    // A widget that takes presses itself still gets this one unless it opened a menu.
    const bool widgetTakesPress =
        withKind(kind, [](auto tag) { return CanvasKind<typename decltype(tag)::Object>::widgetTakesPress; });
    return !widgetTakesPress || mouse->button() != Qt::LeftButton || (mouse->modifiers() & Qt::AltModifier);
}

PointerInput CanvasController::pointer(const QMouseEvent& e) const { return pointerInput(e, m_receiver, m_canvas); }

void CanvasController::startGesture(std::unique_ptr<Gesture> gesture)
{
    if (m_gesture)
        cancelGesture();
    m_gesture = std::move(gesture);
    // A gesture whose pressed handle was hidden keeps the pointer on the canvas until the release.
    if (m_gesture->holdsPointer())
        m_canvas->grabMouse();
}

void CanvasController::endGesture()
{
    if (m_gesture && m_gesture->holdsPointer())
        m_canvas->releaseMouse();
    m_gesture.reset();
}

void CanvasController::cancelGesture()
{
    if (!m_gesture)
        return;
    // Taken out first: whatever undoing its changes sets off finds no gesture running.
    std::unique_ptr<Gesture> gesture = std::move(m_gesture);
    if (gesture->holdsPointer())
        m_canvas->releaseMouse();
    gesture->cancel();
}

}  // namespace velmar
