#include "canvas/outline_view.h"

#include "canvas/canvas_widget.h"
#include "canvas/film_panel_widget.h"
#include "canvas/object_widgets.h"

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

    // Frames first: the objects inside them need their frame's widget as parent.
    for (int k = 1; k <= outline.count(ObjectKind::Frame); ++k) {
        const FrameObject& f = outline.frame(k);
        auto* w = ensure<FrameWidget>(f.id, m_canvas, created);
        w->apply(f);
        alive.insert(f.id);
        if (created)
            fresh << w;
    }
    for (int k = 1; k <= outline.count(ObjectKind::TextField); ++k) {
        const TextFieldObject& t = outline.textField(k);
        auto* w = ensure<TextFieldWidget>(t.id, parentWidget(t.parentFrame), created);
        w->apply(t);
        alive.insert(t.id);
        if (created) {
            fresh << w;
            const ObjectId id = t.id;
            connect(w, &QTextEdit::textChanged, this, [this, w, id] {
                const int slot = m_document.outline.findSlot(ObjectKind::TextField, id);
                if (slot == 0)
                    return;
                m_document.outline.textField(slot).text = w->modelText();
                emit textFieldEdited(id);
            });
        }
    }
    for (int k = 1; k <= outline.count(ObjectKind::Video); ++k) {
        const VideoObject& v = outline.video(k);
        auto* w = ensure<FilmPanelWidget>(v.id, parentWidget(v.parentFrame), created);
        w->apply(v);
        alive.insert(v.id);
        if (created)
            fresh << w;
    }
    for (int k = 1; k <= outline.count(ObjectKind::Picture); ++k) {
        const PictureObject& p = outline.picture(k);
        auto* w = ensure<PictureWidget>(p.id, parentWidget(p.parentFrame), created);
        w->apply(p);
        alive.insert(p.id);
        if (created)
            fresh << w;
    }
    for (int k = 1; k <= outline.count(ObjectKind::Caption); ++k) {
        const CaptionObject& c = outline.caption(k);
        auto* w = ensure<CaptionWidget>(c.id, parentWidget(c.parentFrame), created);
        w->apply(c);
        alive.insert(c.id);
        if (created)
            fresh << w;
    }
    for (int k = 1; k <= outline.count(ObjectKind::Arrow); ++k) {
        const ArrowObject& a = outline.arrow(k);
        auto* w = ensure<ArrowWidget>(a.id, m_canvas, created);
        if (w->apply(a) && !m_unsettledArrows.contains(w))
            m_unsettledArrows << w;
        alive.insert(a.id);
        if (created)
            fresh << w;
    }

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
