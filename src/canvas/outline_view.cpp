#include "canvas/outline_view.h"

#include "base/side_by_side.h"
#include "canvas/canvas_kinds.h"
#include "canvas/canvas_widget.h"
#include "canvas/film_panel_widget.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QHash>
#include <QMouseEvent>
#include <QSet>
#include <QToolBar>

#include <algorithm>
#include <type_traits>
#include <utility>

namespace velmar {

namespace {

// A zoom step follows the last one this soon while the window's edge is dragged.
constexpr int kSettleHitAreasMs = 100;

bool mayPickAWidget(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Enter: return true;
    default: return event->isPointerEvent();
    }
}

// Stacks the widgets of `raised` above the other widgets of their parents, each parent's in the
// order given, as raising each in turn would, but moves only the widgets out of place, each
// straight under the one it is to lie under: raising a shown widget first works out what of it
// its parents' siblings cover, a canvas's worth of region arithmetic each time, and an outline
// opened again, whose widgets get back the places they had, moves next to none. `top` (raised
// above them all afterwards) and the widgets `leaving` tells of (hidden, to be deleted) are left
// where they are.
template <typename Leaving>
void stackInOrder(const QList<QWidget*>& raised, const QWidget* top, Leaving leaving)
{
    QHash<QWidget*, QList<QWidget*>> byParent;
    for (QWidget* w : raised)
        byParent[w->parentWidget()] << w;
    for (auto it = byParent.cbegin(); it != byParent.cend(); ++it) {
        const QList<QWidget*>& group = it.value();
        const QSet<QWidget*> ours(group.cbegin(), group.cend());
        QList<QWidget*> now, wanted;
        for (QObject* child : it.key()->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (!w || w->isWindow() || w == top || leaving(w))
                continue;
            now << w;
            if (!ours.contains(w))
                wanted << w;
        }
        wanted += group;
        if (now.size() != wanted.size()) {
            // Not all of them where their parent has them: raised one by one, as they come.
            for (QWidget* w : group)
                w->raise();
            continue;
        }
        for (qsizetype i = 0; i < wanted.size(); ++i) {
            if (now[i] == wanted[i])
                continue;
            QWidget* w = wanted[i];
            w->stackUnder(now[i]);
            now.removeOne(w);
            now.insert(i, w);
        }
    }
}

// Marks the whole of a shown widget for painting, in one piece. Qt collects what is to be painted
// again as a region: each widget that moves, is raised or asks to be updated adds its own
// rectangle, and a few hundred of them make a region that takes longer to build and to paint
// through than painting the whole widget. Once the whole is marked, what lies inside it adds
// nothing. Lowering a widget marks its whole area in its parent; it is then put back at once
// under the widget that lay above it, so the stacking stays as it was.
void markWholeForPainting(QWidget* widget)
{
    QWidget* parent = widget->parentWidget();
    if (!parent || !widget->isVisible())
        return;  // a hidden widget is painted whole when shown
    const QObjectList& siblings = parent->children();
    const qsizetype at = siblings.indexOf(widget);
    auto* above = at > 0 && at + 1 < siblings.size() ? qobject_cast<QWidget*>(siblings[at + 1]) : nullptr;
    if (!above) {
        widget->update();
        return;
    }
    widget->lower();
    widget->stackUnder(above);
}

}  // namespace

OutlineView::OutlineView(Document& document, CanvasWidget* canvas)
    : QObject(canvas), m_document(document), m_canvas(canvas), m_settleTimer(new QTimer(this))
{
    m_settleTimer->setSingleShot(true);
    m_settleTimer->setInterval(kSettleHitAreasMs);
    connect(m_settleTimer, &QTimer::timeout, this, &OutlineView::settleHitAreas);
}

void OutlineView::settleHitAreas()
{
    if (m_unsettledArrows.isEmpty())
        return;
    m_settleTimer->stop();
    qApp->removeEventFilter(this);
    const QList<QPointer<ArrowWidget>> arrows = std::exchange(m_unsettledArrows, {});
    for (const QPointer<ArrowWidget>& arrow : arrows)
        if (arrow)
            arrow->takePressesOnStrokes();
}

bool OutlineView::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* face = qobject_cast<TextFieldFace*>(watched))
        return faceEvent(face, event);
    // Before the window picks the widget under the pointer, every arrow takes presses on its
    // strokes only, as if each had been limited at once.
    if (mayPickAWidget(event))
        settleHitAreas();
    return QObject::eventFilter(watched, event);
}

bool OutlineView::faceEvent(TextFieldFace* face, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        // The pointer is over the field: the press that may follow finds the editor there.
        replaceFace(face);
        return false;
    case QEvent::DragEnter:
        // The drag's next move reaches the editor, which takes the drop as a field always has.
        replaceFace(face);
        event->ignore();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        // A press with no move before it (the window appeared under the pointer), or the rest of
        // a press begun on the face: the window keeps sending those to it until the release.
        TextFieldWidget* editor = face->editor() ? face->editor() : replaceFace(face);
        if (!editor)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        QWidget* target = editor->viewport();
        // As the window does for a press on a field that takes the keyboard when clicked.
        if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            && (editor->focusPolicy() & Qt::ClickFocus) && editor->isVisible())
            editor->setFocus(Qt::MouseFocusReason);
        QMouseEvent forwarded(mouse->type(),
                              target->mapFrom(target->window(), face->mapTo(face->window(), mouse->position())),
                              mouse->scenePosition(), mouse->globalPosition(), mouse->button(), mouse->buttons(),
                              mouse->modifiers(), mouse->pointingDevice());
        QCoreApplication::sendEvent(target, &forwarded);
        return true;
    }
    default: return false;
    }
}

TextFieldWidget* OutlineView::replaceFace(TextFieldFace* face)
{
    if (face->editor())
        return face->editor();
    const ObjectId id = objectId(face);
    const int slot = m_document.outline.findSlot(ObjectKind::TextField, id);
    if (slot == 0 || m_widgets.value(id) != face)
        return nullptr;
    auto* editor = new TextFieldWidget(face->parentWidget());
    adopt(id, editor);
    present(editor, m_document.outline.textField(slot), true);
    editor->stackUnder(face);
    editor->setVisible(!face->isHidden());
    face->setEditor(editor);
    // Kept, hidden, while the editor lives: the window remembers the widget the pointer was last
    // over, and one deleted under it would cost the next widget the pointer comes over its Enter.
    face->hide();
    setObjectId(face, 0);
    connect(editor, &QObject::destroyed, face, &QObject::deleteLater);
    emit widgetCreated(id, editor);
    return editor;
}

QWidget* OutlineView::widget(ObjectId id)
{
    QWidget* w = m_widgets.value(id);
    if (auto* face = qobject_cast<TextFieldFace*>(w))
        return replaceFace(face);
    return w;
}

FrameWidget* OutlineView::frameWidget(int slot) const
{
    if (slot < 1 || slot > m_document.outline.count(ObjectKind::Frame))
        return nullptr;
    return qobject_cast<FrameWidget*>(shownWidget(m_document.outline.frame(slot).id));
}

QWidget* OutlineView::parentWidget(int parentFrame) const
{
    if (FrameWidget* frame = frameWidget(parentFrame))
        return frame;
    return m_canvas;
}

void OutlineView::adopt(ObjectId id, QWidget* widget)
{
    setObjectId(widget, id);
    m_widgets.insert(id, widget);
    if (m_filter) {
        widget->installEventFilter(m_filter);
        if (auto* text = qobject_cast<TextFieldWidget*>(widget))
            text->viewport()->installEventFilter(m_filter);
        if (auto* frame = qobject_cast<FrameWidget*>(widget))
            frame->title()->installEventFilter(m_filter);
    }
    // Installed last, so that a face's events reach this view before the canvas controller.
    if (auto* face = qobject_cast<TextFieldFace*>(widget))
        face->installEventFilter(this);
}

void OutlineView::present(TextFieldWidget* w, const TextFieldObject& field, bool created)
{
    w->apply(field);
    if (!created)
        return;
    // Typing goes into the model at once.
    const ObjectId id = field.id;
    connect(w, &QTextEdit::textChanged, this, [this, w, id] {
        const int slot = m_document.outline.findSlot(ObjectKind::TextField, id);
        if (slot == 0)
            return;
        // The spelling's marks tell of a change too, though no letter changed.
        QString text = w->modelText();
        if (text == m_document.outline.textField(slot).text)
            return;
        m_document.outline.textField(slot).text = std::move(text);
        emit textFieldEdited(id);
    });
}

void OutlineView::present(ArrowWidget* w, const ArrowObject& arrow, bool)
{
    if (w->apply(arrow) && !m_unsettledArrows.contains(w))
        m_unsettledArrows << w;
}

QWidget* OutlineView::ensureTextField(ObjectId id, QWidget* parent, bool& created)
{
    created = false;
    QWidget* existing = m_widgets.value(id);
    if (qobject_cast<TextFieldWidget*>(existing) || qobject_cast<TextFieldFace*>(existing)) {
        if (existing->parentWidget() != parent) {
            existing->setParent(parent);
            existing->show();
        }
        return existing;
    }
    QWidget* widget = takeSpare(&TextFieldWidget::staticMetaObject, parent);
    if (!widget)
        widget = takeSpare(&TextFieldFace::staticMetaObject, parent);
    if (!widget)
        widget = new TextFieldFace(parent);
    adopt(id, widget);
    created = true;
    return widget;
}

template <typename W>
W* OutlineView::ensure(ObjectId id, QWidget* parent, bool& created)
{
    static_assert(std::is_base_of_v<ShowsObject, W>, "the widget of an object keeps the object it shows");
    created = false;
    auto* existing = qobject_cast<W*>(m_widgets.value(id));
    if (existing) {
        if (existing->parentWidget() != parent) {
            existing->setParent(parent);
            existing->show();
        }
        return existing;
    }
    W* widget = static_cast<W*>(takeSpare(&W::staticMetaObject, parent));
    if (!widget)
        widget = new W(parent);
    adopt(id, widget);
    created = true;
    return widget;
}

void OutlineView::letGoOfPictures()
{
    for (QWidget* w : std::as_const(m_widgets))
        if (auto* picture = qobject_cast<PictureWidget*>(w))
            picture->letGoOfPicture();
}

void OutlineView::decodePicturesAhead()
{
    std::vector<const PictureObject*> pictures;
    for (const PictureObject& p : m_document.outline.objects<PictureObject>()) {
        // While rebuild() hands out the widgets of the outline before, a picture may find its own
        // picture already shown in the widget it gets: only apply() knows, and decodes if needed.
        const auto* w = qobject_cast<const PictureWidget*>(m_widgets.value(p.id));
        if (w ? w->decodesOnApply(p) : m_spares.isEmpty() && p.decodesFor(p.bounds.size()))
            pictures.push_back(&p);
    }
    if (pictures.size() < 2)
        return;
    sizeForCores(m_decoders, pictures.size());
    runSideBySide(m_decoders, pictures.size(),
                  [&pictures](std::size_t i) { pictures[i]->imageFor(pictures[i]->bounds.size()); });
}

void OutlineView::sync()
{
    const Outline& outline = m_document.outline;
    decodePicturesAhead();
    QSet<ObjectId> alive;
    QList<QWidget*> fresh;
    bool created = false;

    forEachKindIn(WidgetOrder{}, [&](auto tag) {
        using Object = typename decltype(tag)::Object;
        for (const Object& object : outline.objects<Object>()) {
            QWidget* parent = m_canvas;
            if constexpr (HasParentFrame<Object>)
                parent = parentWidget(object.parentFrame);
            QWidget* w = nullptr;
            if constexpr (std::is_same_v<Object, TextFieldObject>) {
                w = ensureTextField(object.id, parent, created);
                if (auto* editor = qobject_cast<TextFieldWidget*>(w))
                    present(editor, object, created);
                else
                    static_cast<TextFieldFace*>(w)->apply(object);
            } else {
                auto* own = ensure<typename CanvasKind<Object>::Widget>(object.id, parent, created);
                present(own, object, created);
                w = own;
            }
            alive.insert(object.id);
            if (created)
                fresh << w;
        }
    });

    dropSpares();

    // Widgets of objects that are gone. Children of a frame that goes are destroyed with it, so
    // collect first and delete the survivors' orphans explicitly.
    QList<ObjectId> gone;
    for (auto it = m_widgets.cbegin(); it != m_widgets.cend(); ++it)
        if (!alive.contains(it.key()))
            gone << it.key();
    for (ObjectId id : gone) {
        QPointer<QWidget> w = m_widgets.take(id);
        if (w) {
            w->hide();
            w->deleteLater();
        }
    }

    // New objects lie above the older ones, as the last created control does. They are put in
    // place while still hidden: a shown widget that moves in the stack is marked for painting.
    QWidget* bar = m_canvas->toolBar();
    stackInOrder(fresh, bar, [this](const QWidget* w) {
        const ObjectId id = objectId(w);
        return id != 0 && w->isHidden() && m_widgets.value(id) != w;
    });
    for (QWidget* w : fresh)
        w->show();
    if (bar)
        bar->raise();
    if (!m_unsettledArrows.isEmpty()) {
        if (!m_settleTimer->isActive())
            qApp->installEventFilter(this);
        m_settleTimer->start();
    }
    for (QWidget* w : fresh)
        emit widgetCreated(objectId(w), w);
    emit synced();
}

void OutlineView::showArrows(const std::vector<ObjectId>& arrows)
{
    const Outline& outline = m_document.outline;
    for (ObjectId id : arrows) {
        const int slot = outline.findSlot(ObjectKind::Arrow, id);
        if (auto* w = qobject_cast<ArrowWidget*>(widget(id)); w && slot)
            present(w, outline.arrow(slot), false);
    }
    if (!m_unsettledArrows.isEmpty()) {
        if (!m_settleTimer->isActive())
            qApp->installEventFilter(this);
        m_settleTimer->start();
    }
}

QWidget* OutlineView::takeSpare(const QMetaObject* kind, QWidget* parent)
{
    if (m_spares.isEmpty())
        return nullptr;
    const auto take = [](QList<QPointer<QWidget>>& list) -> QWidget* {
        while (!list.isEmpty())
            if (QWidget* w = list.takeFirst())
                return w;
        return nullptr;
    };
    const auto here = m_spares.find({kind, parent});
    QWidget* w = here != m_spares.end() ? take(*here) : nullptr;
    for (auto it = m_spares.begin(); !w && it != m_spares.end(); ++it)
        if (it.key().first == kind)
            w = take(*it);
    if (w && w->parentWidget() != parent)
        w->setParent(parent);
    return w;
}

void OutlineView::dropSpares()
{
    for (const QList<QPointer<QWidget>>& list : std::as_const(m_spares))
        for (const QPointer<QWidget>& w : list)
            if (w) {
                w->hide();
                w->deleteLater();
            }
    m_spares.clear();
}

void OutlineView::rebuild()
{
    // A field being typed into gives the keyboard back before it shows another object.
    m_canvas->setFocus(Qt::OtherFocusReason);
    // In the order their objects were made (ids grow): an outline opened again, or restored by
    // undo, gives each widget the object it showed before, with nothing to change.
    QList<ObjectId> ids = m_widgets.keys();
    std::sort(ids.begin(), ids.end());
    for (ObjectId id : std::as_const(ids)) {
        QWidget* w = m_widgets.value(id);
        // A film panel keeps its film's state and the film window's ties: never taken over.
        if (qobject_cast<FilmPanelWidget*>(w)) {
            w->hide();
            w->deleteLater();
            continue;
        }
        // What tied the widget to its object: the connections made for it, a drag's cursor,
        // the typing in a text field.
        disconnect(w, nullptr, this, nullptr);
        w->unsetCursor();
        if (auto* text = qobject_cast<TextFieldWidget*>(w))
            text->forgetTyping();
        m_spares[{w->metaObject(), w->parentWidget()}].append(w);
    }
    m_widgets.clear();
    // Every widget shows another object now: the canvas is painted whole, once.
    markWholeForPainting(m_canvas);
    sync();
    // A replaced outline starts with no field being typed in: the keyboard belongs to the canvas
    // and the outline's shortcuts.
    m_canvas->setFocus(Qt::OtherFocusReason);
}

}  // namespace velmar
