#include "canvas/canvas_controller.h"

#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/text_metrics.h"

#include <QAction>
#include <QApplication>
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
            if (qobject_cast<TextFieldWidget*>(w))
                return false;
        if (m_canvas->isVisible() && m_canvas->isEnabled() && !m_canvas->hasFocus())
            m_canvas->setFocus(Qt::MouseFocusReason);
        return false;
    }

private:
    QWidget* m_canvas;
};

}  // namespace

CanvasController::CanvasController(CanvasHost& host, CanvasWidget* canvas, OutlineView* view,
                                   SelectionHandles* handles)
    : QObject(canvas), m_host(host), m_canvas(canvas), m_view(view), m_handles(handles)
{
    canvas->installEventFilter(this);
    new FocusToCanvas(canvas);
    for (const char* name : {"Panel3", "Panel4", "Panel5", "Panel6", "Panel7", "Panel8", "Panel9", "Panel10",
                             "Panel11", "Panel12", "Panel13", "Panel14", "Panel15", "Panel16", "Panel17",
                             "Panel18", "Panel19", "Panel20", "Panel23", "Panel24"})
        handles->component(QLatin1String(name))->installEventFilter(this);
    view->setEventFilter(this);
    // The handles follow every change of the outline's geometry (moves, grid snapping, fitting).
    connect(view, &OutlineView::synced, handles, &SelectionHandles::refresh);
    connect(view, &OutlineView::textFieldEdited, this, [this](ObjectId id) {
        // Typed text is part of the outline at once: closing must ask to save it.
        markModifiedWithoutStep(m_host);
        autoSizeTextField(id);
    });
}

QAction* CanvasController::cmd(const char* name) const
{
    return m_host.command(QLatin1String(name));
}

void CanvasController::enable(std::initializer_list<const char*> names, bool on)
{
    for (const char* name : names)
        if (QAction* a = cmd(name))
            a->setEnabled(on);
}

void CanvasController::dropSelection()
{
    doc().interaction.outerSelection = 0;
    doc().interaction.innerSelection = 0;
    m_handles->hideAll();
}

// --- geometry helpers -------------------------------------------------------------------------

QRect CanvasController::boundsOf(ObjectId id) const
{
    return objectBounds(const_cast<CanvasController*>(this)->doc().outline, id);
}

void CanvasController::setBounds(ObjectId id, const QRect& r)
{
    Outline& o = doc().outline;
    const ObjectRef ref = o.find(id);
    if (!ref.isValid())
        return;
    switch (ref.kind) {
    case ObjectKind::Frame: o.frame(ref.slot).bounds = r; break;
    case ObjectKind::Picture: o.picture(ref.slot).bounds = r; break;
    case ObjectKind::Caption: o.caption(ref.slot).bounds = r; break;
    case ObjectKind::TextField: o.textField(ref.slot).bounds = r; break;
    case ObjectKind::Video: o.video(ref.slot).bounds = r; break;
    case ObjectKind::Arrow: break;
    }
    if (QWidget* w = m_view->widget(id))
        w->setGeometry(r);
}

int CanvasController::parentFrameOf(ObjectId id) const
{
    return velmar::parentFrameOf(const_cast<CanvasController*>(this)->doc().outline, id);
}

void CanvasController::showBlackSetAround(ObjectId id)
{
    m_handles->showBlackSet(id);
}

void CanvasController::showBlueSetAround(ObjectId id)
{
    m_handles->showBlueSet(id);
}

void CanvasController::showPopup(const char* menu, QMouseEvent* e)
{
    if (QMenu* m = m_host.popupMenu(QLatin1String(menu)))
        m->popup(e->globalPosition().toPoint());
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
    setBounds(id, QRect(field.bounds.topLeft(), *size));
    showBlueSetAround(id);
}

// --- event dispatch ----------------------------------------------------------------------------

bool CanvasController::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease && type != QEvent::KeyPress && type != QEvent::KeyRelease
        && type != QEvent::FocusOut
        && type != QEvent::FocusIn)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;

    // Text fields receive their mouse events in their viewport.
    QWidget* objectWidget = widget;
    if (objectId(widget) == 0 && widget->objectName() != QLatin1String("ee") && widget->parentWidget()
        && qobject_cast<TextFieldWidget*>(widget->parentWidget()))
        objectWidget = widget->parentWidget();
    const ObjectId id = objectId(objectWidget);

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
                m_host.recordStep();
        }
        return false;
    }

    auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseMove) {
        if (m_track.track == Track::None)
            return false;
        mouseMoved(mouse);
        return m_track.following;
    }
    if (type == QEvent::MouseButtonRelease) {
        if (m_track.track == Track::None)
            return false;
        const bool swallow = m_track.following;
        mouseReleased(mouse);
        return swallow;
    }

    // A press.
    const QString handle = m_handles->nameOf(widget);
    if (!handle.isEmpty()) {
        if (handle == QLatin1String("Panel23") || handle == QLatin1String("Panel24"))
            pressArrowEnd(handle, mouse);
        else
            pressHandle(handle, mouse);
        return true;
    }
    if (widget == m_canvas) {
        pressCanvas(mouse);
        return true;
    }
    if (widget->objectName() == QLatin1String("ee")) {
        pressTitle(objectId(widget->parentWidget()), widget, mouse);
        return true;
    }
    if (id == 0)
        return false;
    switch (doc().outline.kindOf(id)) {
    case ObjectKind::Frame:
        pressFrame(id, objectWidget, mouse);
        return true;
    case ObjectKind::Arrow:
        pressArrow(id, objectWidget, mouse);
        return true;
    case ObjectKind::TextField:
        pressObject(id, objectWidget, mouse);
        // The text box still takes the press (caret, focus) unless it opened a menu.
        return mouse->button() != Qt::LeftButton || (mouse->modifiers() & Qt::AltModifier);
    default:
        pressObject(id, objectWidget, mouse);
        return true;
    }
}

void CanvasController::startTracking(Track track, ObjectId id, QWidget* widget, QMouseEvent* e)
{
    m_track = Tracking{};
    m_track.track = track;
    m_track.id = id;
    m_track.widget = widget;
    m_track.startGlobal = e->globalPosition().toPoint();
    m_track.startRect = boundsOf(id);
    m_track.button = e->button();
    m_track.modifiers = e->modifiers();
    m_track.doubleClick = e->type() == QEvent::MouseButtonDblClick;
    m_track.pressPos = e->position().toPoint();
}

void CanvasController::mouseMoved(QMouseEvent* e)
{
    const QPoint delta = e->globalPosition().toPoint() - m_track.startGlobal;
    if (!m_track.following) {
        // Objects follow the pointer from its first pixel; a press into a text field being edited
        // waits for a few, so that a click to place the caret does not nudge the field.
        const int threshold = m_track.textPress ? kTextFieldMoveThreshold : 1;
        if (delta.manhattanLength() < threshold && m_track.track != Track::Arrow)
            return;
        m_track.following = true;
    }
    switch (m_track.track) {
    case Track::Move:
        setBounds(m_track.id, m_track.startRect.translated(delta));
        break;
    case Track::Size:
        setBounds(m_track.id, resizedRect(m_track.startRect, m_track.edge, delta));
        if (doc().outline.kindOf(m_track.id) == ObjectKind::Picture)
            m_view->sync();  // re-render the picture at its new size
        break;
    case Track::AltDrag:
        if (m_track.widget)
            m_track.widget->setCursor(Qt::DragMoveCursor);
        break;
    case Track::Arrow: {
        const int slot = doc().outline.findSlot(ObjectKind::Arrow, m_track.id);
        if (slot == 0 || !doc().session.editMode)
            break;
        // The arrow moves by the pointer's offset from the remembered point, in its own picture's
        // coordinates; its end points move with it.
        QPoint offset = e->position().toPoint() - m_track.pressPos;
        ArrowObject& a = doc().outline.arrow(slot);
        // The arrow stops at the edge of what an outline file can hold.
        offset.rx() = std::clamp(offset.x(), kMinCoordinate - std::min(a.x1, a.x2),
                                 kMaxCoordinate - std::max(a.x1, a.x2));
        offset.ry() = std::clamp(offset.y(), kMinCoordinate - std::min(a.y1, a.y2),
                                 kMaxCoordinate - std::max(a.y1, a.y2));
        if (offset.isNull())
            break;
        a.x1 += offset.x();
        a.x2 += offset.x();
        a.y1 += offset.y();
        a.y2 += offset.y();
        if (m_track.widget)
            m_track.widget->move(m_track.widget->pos() + offset);
        placeArrowHandlesFor(slot);
        m_track.arrowMoved = true;
        break;
    }
    case Track::ArrowEnd:
        m_handles->moveArrowEnd(m_track.handle == QLatin1String("Panel23"), m_track.handleStart + delta);
        break;
    case Track::None:
        break;
    }
}

void CanvasController::mouseReleased(QMouseEvent* e)
{
    switch (m_track.track) {
    case Track::Move: finishMove(); break;
    case Track::Size: finishSize(); break;
    case Track::AltDrag: finishAltDrag(e); break;
    case Track::Arrow: finishArrowDrag(e); break;
    case Track::ArrowEnd: finishArrowEnd(); break;
    case Track::None: break;
    }
    if (m_track.grabbed)
        m_canvas->releaseMouse();
    m_track = Tracking{};
}

}  // namespace velmar
