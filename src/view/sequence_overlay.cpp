#include "view/sequence_overlay.h"

#include "canvas/canvas_widget.h"
#include "canvas/selection_handles.h"
#include "model/object_kinds.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmar {

namespace {

constexpr double kPi = 3.14;  // the value of π the arrowheads are drawn with
constexpr double kHeadLength = 20.0;
constexpr int kOverlayPen = 3;

// Bounds of a sequenced item on the canvas; nothing for entries that name no such item.
std::optional<QRect> itemRect(const Outline& outline, ObjectId id, OverlayKind kind)
{
    const ObjectRef ref = outline.find(id);
    if (!ref.isValid())
        return std::nullopt;
    if (kind == OverlayKind::Frames) {
        if (ref.kind != ObjectKind::Frame)
            return std::nullopt;
        return outline.frame(ref.slot).bounds;
    }
    const auto item = withObject(outline, ref, [](const auto& object) -> std::optional<std::pair<QRect, int>> {
        if constexpr (KindTraits<std::decay_t<decltype(object)>>::order == ReadingOrder::Objects)
            return std::pair(object.bounds, int(object.parentFrame));
        else
            return std::nullopt;
    });
    if (!item)
        return std::nullopt;
    auto [r, parent] = *item;
    if (parent >= 1 && parent <= outline.count(ObjectKind::Frame))
        r.translate(outline.frame(parent).bounds.topLeft());
    return r;
}

}  // namespace

QPoint overlayAnchor(const QRect& item) { return QPoint(item.x() + item.width() / 2, item.y() + 10); }

std::pair<QPoint, QPoint> overlayArrowHead(QPoint from, QPoint to)
{
    const double dx = double(to.x()) - from.x();
    const double dy = double(to.y()) - from.y();
    double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0)
        length = 1;
    const double theta = std::asin(std::clamp(dx / length, -1.0, 1.0));
    const double angle = from.y() < to.y() ? -theta * 180 / kPi : theta * 180 / kPi + 180;
    auto stroke = [&](double turn) {
        const double t = (30 - angle + turn) * kPi / 180;
        return QPoint(int(std::lrint(to.x() + kHeadLength * std::sin(t))),
                      int(std::lrint(to.y() + kHeadLength * std::cos(t))));
    };
    return {stroke(128), stroke(168)};
}

OverlayGeometry overlayGeometry(const Outline& outline, OverlayKind kind)
{
    OverlayGeometry g;
    const Sequence& sequence = kind == OverlayKind::Frames ? outline.frameSequence() : outline.objectSequence();
    for (int i = 1; i <= sequence.length(); ++i) {
        const std::optional<QRect> r = itemRect(outline, sequence.entry(i), kind);
        if (!r)
            continue;
        const QPoint anchor = overlayAnchor(*r);
        if (!g.anchors.empty()) {
            const auto [head1, head2] = overlayArrowHead(g.anchors.back(), anchor);
            g.links.push_back(OverlayLink{g.anchors.back(), anchor, head1, head2});
        }
        g.rects.push_back(*r);
        g.anchors.push_back(anchor);
    }
    return g;
}

QColor overlayRectColour(OverlayKind kind)
{
    return kind == OverlayKind::Frames ? QColor(160, 48, 128) : QColor(64, 144, 32);
}

QColor overlayLinkColour(OverlayKind kind)
{
    return kind == OverlayKind::Frames ? QColor(48, 64, 112) : QColor(0, 0, 255);
}

// --- the layer ----------------------------------------------------------------------------------

SequenceOverlayLayer::SequenceOverlayLayer(QWidget* canvas) : QWidget(canvas)
{
    setObjectName(QStringLiteral("sequenceOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(canvas->rect());
    hide();
}

void SequenceOverlayLayer::paintOverlay(OverlayKind kind, const OverlayGeometry& geometry)
{
    m_kind = kind;
    m_geometry = geometry;
    setGeometry(parentWidget()->rect());
    show();
    raise();
    update();
}

void SequenceOverlayLayer::erase()
{
    m_geometry = OverlayGeometry{};
    hide();
}

void SequenceOverlayLayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    const QPen rectPen(overlayRectColour(m_kind), kOverlayPen);
    const QPen linkPen(overlayLinkColour(m_kind), kOverlayPen);
    for (std::size_t i = 0; i < m_geometry.rects.size(); ++i) {
        painter.setPen(rectPen);
        painter.drawRect(QRectF(m_geometry.rects[i]));
        if (i == 0 || i - 1 >= m_geometry.links.size())
            continue;
        const OverlayLink& link = m_geometry.links[i - 1];
        painter.setPen(linkPen);
        painter.drawLine(link.from, link.to);
        painter.drawLine(link.to, link.head1);
        painter.drawLine(link.to, link.head2);
    }
}

// --- the routines -------------------------------------------------------------------------------

SequenceOverlay::SequenceOverlay(CanvasHost& host, CanvasWidget* canvas, SelectionHandles* handles)
    : QObject(canvas), m_host(host), m_canvas(canvas), m_handles(handles), m_layer(new SequenceOverlayLayer(canvas))
{
    connect(handles, &SelectionHandles::visibilityChanged, this, &SequenceOverlay::followHandles);
}

namespace {

OrderOverlay asOverlay(OverlayKind kind)
{
    return kind == OverlayKind::Frames ? OrderOverlay::Frames : OrderOverlay::Objects;
}

}  // namespace

void SequenceOverlay::followHandles()
{
    // Hiding the blue set takes the order buttons away; showing either set offers them while an
    // overlay is on.
    const bool blue = m_handles->blueSetVisible();
    const bool black = m_handles->blackSetVisible();
    bool& offered = m_host.document().interaction.orderButtonsOn;
    if (m_blueSetShown && !blue)
        offered = false;
    else if ((blue || black) && m_host.document().session.overlay != OrderOverlay::None)
        offered = true;
    m_blueSetShown = blue;
    m_host.showCommandStates();
}

void SequenceOverlay::toggle(OverlayKind kind)
{
    const OrderOverlay own = asOverlay(kind);
    show(m_host.document().session.overlay == own ? OrderOverlay::None : own);
}

void SequenceOverlay::run(OverlayKind kind)
{
    const OrderOverlay own = asOverlay(kind);
    show(m_host.document().session.overlay == own ? own : OrderOverlay::None);
}

void SequenceOverlay::switchOn(OverlayKind kind) { show(asOverlay(kind)); }

void SequenceOverlay::show(OrderOverlay overlay)
{
    OpenOutline& doc = m_host.document();
    doc.session.overlay = overlay;
    m_layer->erase();
    if (overlay == OrderOverlay::None) {
        doc.interaction.orderButtonsOn = false;
        // Painted and erased at once: nothing stays on the screen.
        doc.session.repaintPending = false;
        m_canvas->update();
    } else {
        doc.session.repaintPending = true;
        const OverlayKind kind = overlay == OrderOverlay::Frames ? OverlayKind::Frames : OverlayKind::Objects;
        m_layer->paintOverlay(kind, overlayGeometry(doc.outline, kind));
        if (m_handles->blueSetVisible() || m_handles->blackSetVisible())
            doc.interaction.orderButtonsOn = true;
    }
    m_host.showCommandStates();
}

void SequenceOverlay::redraw()
{
    if (m_host.document().session.overlay != OrderOverlay::None)
        show(m_host.document().session.overlay);
}

void SequenceOverlay::erase()
{
    m_layer->erase();
    m_canvas->update();
    m_host.document().session.repaintPending = false;
}

}  // namespace velmar
