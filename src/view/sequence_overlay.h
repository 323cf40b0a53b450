#pragma once

#include "canvas/canvas_host.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <utility>
#include <vector>

namespace velmar {

class CanvasWidget;
class SelectionHandles;

// Which sequence an overlay shows.
enum class OverlayKind { Frames, Objects };

// The reading order drawn over the outline, in canvas coordinates: a rectangle around every item
// of the sequence and a line with an arrowhead from each item's anchor to the next one's.
struct OverlayLink {
    QPoint from, to;
    QPoint head1, head2;  // ends of the two strokes of the arrowhead, drawn from `to`
};
struct OverlayGeometry {
    std::vector<QRect> rects;     // x, y, width, height of each item, in sequence order
    std::vector<QPoint> anchors;  // (x + width div 2, y + 10)
    std::vector<OverlayLink> links;
};

// The anchor of an item: the middle of its top edge, 10 pixels down.
QPoint overlayAnchor(const QRect& item);

// The arrowhead of a link from `from` to `to`: two strokes of length 20 from `to`, at 128 and 168
// degrees off the direction angle (3.14 standing for π), each end rounded halves to even. A link
// of length 0 is measured as 1.
std::pair<QPoint, QPoint> overlayArrowHead(QPoint from, QPoint to);

// The overlay of one sequence of the outline. Frames are outlined by their own bounds; objects by
// theirs moved by the frame they lie in. Entries that name no frame or object are left out.
OverlayGeometry overlayGeometry(const Outline& outline, OverlayKind kind);

// Pens of the overlays: the rectangle colour and the colour of the joining lines.
QColor overlayRectColour(OverlayKind kind);
QColor overlayLinkColour(OverlayKind kind);

// The layer above the canvas that shows an overlay. It takes no mouse events, so everything under
// it stays reachable.
class SequenceOverlayLayer : public QWidget {
    Q_OBJECT
public:
    explicit SequenceOverlayLayer(QWidget* canvas);

    void paintOverlay(OverlayKind kind, const OverlayGeometry& geometry);
    void erase();
    bool isPainted() const { return isVisible(); }
    OverlayKind kind() const { return m_kind; }
    const OverlayGeometry& geometry() const { return m_geometry; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    OverlayKind m_kind = OverlayKind::Frames;
    OverlayGeometry m_geometry;
};

// The two overlays of the reading order (frames, objects), at most one of them on: the session
// says which. Also offers the order buttons exactly while an overlay is on and a set of selection
// handles stands.
class SequenceOverlay : public QObject {
    Q_OBJECT
public:
    SequenceOverlay(CanvasHost& host, CanvasWidget* canvas, SelectionHandles* handles);

    // The overlay's button: switches it off when it is on, else on in place of the other.
    void toggle(OverlayKind kind);
    // The overlay's routine as things stand: painted again when it is the one on; otherwise any
    // overlay goes off.
    void run(OverlayKind kind);
    // The overlay's menu item: switches it on in place of the other (again, if it is on).
    void switchOn(OverlayKind kind);
    // Paints again the overlay that is on (after a press, a move or a deletion).
    void redraw();
    // Erases what is painted and clears the repaint-pending flag.
    void erase();

    SequenceOverlayLayer* layer() const { return m_layer; }

private:
    // Erases the overlay shown and paints the one asked for (none: the canvas is clean).
    void show(OrderOverlay overlay);
    void followHandles();

    CanvasHost& m_host;
    CanvasWidget* m_canvas;
    SelectionHandles* m_handles;
    SequenceOverlayLayer* m_layer;
    bool m_blueSetShown = false;
};

}  // namespace velmar
