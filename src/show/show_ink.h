#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <map>
#include <optional>
#include <vector>

class QPainter;

namespace velmar {

// What the pointer does in a show.
enum class ShowTool { Arrow, Pen, Highlighter, Laser, Eraser };

// One stroke of the pen or the highlighter, in the outline's own coordinates (the canvas's
// pixels at scale 1), so that it lies on the same spot of the outline at any size it is shown.
struct InkStroke {
    QColor colour;
    double width = 4;          // at full pressure 1
    bool highlighter = false;  // broad and see-through
    std::vector<QPointF> points;
    std::vector<float> weights;  // each point's share of the width (pressure)
    QRectF bounds;               // the points with half the widest line around them

    // How opaque the stroke is drawn: the highlighter lets the outline show through.
    double opacity() const { return highlighter ? 0.4 : 1.0; }
    void add(QPointF point, float weight);
};

// The drawings of a show: each step has its own strokes, kept while the show runs, so that going
// back to a step shows them again. One stroke at a time is being drawn.
class ShowInk {
public:
    // The finished strokes of a step, oldest first.
    const std::vector<InkStroke>& strokes(int step) const;
    // The stroke being drawn on a step, or nullptr.
    const InkStroke* live(int step) const;
    bool drawing() const { return m_live.has_value(); }
    // The steps that have strokes, in order.
    std::vector<int> stepsDrawn() const;

    // Starts a stroke of the given style at a point; extend() adds points, end() finishes it.
    // Each returns the part of the outline it changed.
    QRectF begin(int step, const InkStroke& style, QPointF point, float weight);
    QRectF extend(QPointF point, float weight);
    QRectF end();

    // Takes away every stroke of the step passing within `radius` of a point.
    QRectF eraseAt(int step, QPointF point, double radius);
    // Takes away every stroke of the step.
    QRectF clear(int step);

    // Counts the changes that took strokes away, so that a cached drawing knows to start again.
    quint64 generation() const { return m_generation; }

private:
    std::map<int, std::vector<InkStroke>> m_steps;
    std::optional<InkStroke> m_live;
    int m_liveStep = -1;
    quint64 m_generation = 0;
};

// A step's strokes drawn for one place on the screen (the show's screen, the presenter's small
// picture, a saved picture), kept as pictures so that a new point costs the drawing of one short
// line: the finished strokes in one picture, the stroke being drawn in another laid over it.
class InkLayer {
public:
    // The picture's size and where the outline's coordinates fall on it; draws everything again.
    void setTarget(QSize size, const QTransform& outlineToTarget);
    // Makes the pictures ahead of the first stroke, so that a stroke's first point costs no more
    // than the others.
    void prepare();
    // Follows the strokes of a step; returns the pixels that changed.
    QRect sync(const ShowInk& ink, int step);
    // Draws the strokes over what `exposed` covers.
    void paint(QPainter& painter, const QRect& exposed) const;

    // Draws strokes over a picture in one go, as `sync` would show them.
    static void paintStrokes(QImage& image, const std::vector<InkStroke>& strokes, const QTransform& outlineToImage);

private:
    QRect redrawAll(const ShowInk& ink, int step);
    // Draws the lines of a stroke from point `from` on; returns the pixels touched.
    QRect drawLines(QImage& image, const InkStroke& stroke, size_t from) const;
    void touchLive(const QRect& r);
    void mergeLive(double opacity);

    QSize m_size;
    QTransform m_transform;
    QImage m_done, m_live;
    bool m_valid = false;
    bool m_empty = true;  // nothing drawn in the pictures
    int m_step = -1;
    quint64 m_generation = 0;
    size_t m_finished = 0;  // finished strokes in m_done
    bool m_liveActive = false;
    size_t m_livePoints = 0;  // points of the live stroke drawn
    double m_liveOpacity = 1.0;
    QRect m_liveBounds;
    std::vector<bool> m_liveTiles;  // the squares the live stroke has touched
};

}  // namespace velmar
