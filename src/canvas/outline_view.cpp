#include "canvas/outline_view.h"

#include "canvas/canvas_kinds.h"
#include "canvas/canvas_widget.h"

#include <QApplication>
#include <QSet>
#include <QToolBar>

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
    // Before the window picks the widget under the pointer, every arrow takes presses on its
    // strokes only, as if each had been limited at once.
    if (mayPickAWidget(event))
        settleHitAreas();
    return QObject::eventFilter(watched, event);
}

FrameWidget* OutlineView::frameWidget(int slot) const
{
    if (slot < 1 || slot > m_document.outline.count(ObjectKind::Frame))
        return nullptr;
    return qobject_cast<FrameWidget*>(widget(m_document.outline.frame(slot).id));
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

template <typename W>
W* OutlineView::ensure(ObjectId id, QWidget* parent, bool& created)
{
    created = false;
    auto* existing = qobject_cast<W*>(m_widgets.value(id));
    if (existing) {
        if (existing->parentWidget() != parent) {
            existing->setParent(parent);
            existing->show();
        }
        return existing;
    }
    auto* widget = new W(parent);
    adopt(id, widget);
    created = true;
    return widget;
}

void OutlineView::sync()
{
    const Outline& outline = m_document.outline;
    QSet<ObjectId> alive;
    QList<QWidget*> fresh;
    bool created = false;

    forEachKindIn(WidgetOrder{}, [&](auto tag) {
        using Object = typename decltype(tag)::Object;
        for (const Object& object : outline.objects<Object>()) {
            QWidget* parent = m_canvas;
            if constexpr (HasParentFrame<Object>)
                parent = parentWidget(object.parentFrame);
            auto* w = ensure<typename CanvasKind<Object>::Widget>(object.id, parent, created);
            present(w, object, created);
            alive.insert(object.id);
            if (created)
                fresh << w;
        }
    });

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

    // New objects lie above the older ones, as the last created control does.
    for (QWidget* w : fresh) {
        w->show();
        w->raise();
    }
    if (QWidget* bar = m_canvas->toolBar())
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

void OutlineView::rebuild()
{
    for (QWidget* w : std::as_const(m_widgets)) {
        w->hide();
        w->deleteLater();
    }
    m_widgets.clear();
    sync();
    // A replaced outline (opened, recovered, or restored by undo) starts with no field being
    // typed in: the keyboard belongs to the canvas and the outline's shortcuts.
    m_canvas->setFocus(Qt::OtherFocusReason);
}

}  // namespace velmar
