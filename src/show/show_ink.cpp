#include "show/show_ink.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

const std::vector<InkStroke> kNoStrokes;
// The side of the squares in which a stroke being drawn is followed.
constexpr int kTile = 64;

// The distance from a point to the line between a and b.
double distanceToLine(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double length2 = QPointF::dotProduct(d, d);
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / length2, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * d).length();
}

bool touches(const InkStroke& s, QPointF p, double radius)
{
    if (!s.bounds.adjusted(-radius, -radius, radius, radius).contains(p))
        return false;
    for (size_t i = 0; i < s.points.size(); ++i) {
        const QPointF a = s.points[i], b = s.points[i == 0 ? 0 : i - 1];
        const double half = s.width * std::max(s.weights[i], s.weights[i == 0 ? 0 : i - 1]) / 2;
        if (distanceToLine(p, b, a) <= radius + half)
            return true;
    }
    return false;
}

}  // namespace

void InkStroke::add(QPointF point, float weight)
{
    points.push_back(point);
    weights.push_back(weight);
    const double half = width * weight / 2 + 1;
    const QRectF around(point.x() - half, point.y() - half, 2 * half, 2 * half);
    bounds = points.size() == 1 ? around : bounds.united(around);
}

const std::vector<InkStroke>& ShowInk::strokes(int step) const
{
    const auto found = m_steps.find(step);
    return found == m_steps.end() ? kNoStrokes : found->second;
}

const InkStroke* ShowInk::live(int step) const { return m_live && m_liveStep == step ? &*m_live : nullptr; }

std::vector<int> ShowInk::stepsDrawn() const
{
    std::vector<int> steps;
    for (const auto& [step, strokes] : m_steps)
        if (!strokes.empty())
            steps.push_back(step);
    return steps;
}

QRectF ShowInk::begin(int step, const InkStroke& style, QPointF point, float weight)
{
    const QRectF before = end();
    m_live = style;
    m_live->points.clear();
    m_live->weights.clear();
    m_live->add(point, weight);
    m_liveStep = step;
    return before.united(m_live->bounds);
}

QRectF ShowInk::extend(QPointF point, float weight)
{
    if (!m_live)
        return {};
    const QPointF last = m_live->points.back();
    if (point == last)
        return {};
    m_live->add(point, weight);
    const double half = m_live->width * std::max(weight, m_live->weights[m_live->weights.size() - 2]) / 2 + 1;
    return QRectF(last, point).normalized().adjusted(-half, -half, half, half);
}

QRectF ShowInk::end()
{
    if (!m_live)
        return {};
    const QRectF bounds = m_live->bounds;
    m_steps[m_liveStep].push_back(std::move(*m_live));
    m_live.reset();
    m_liveStep = -1;
    return bounds;
}

QRectF ShowInk::eraseAt(int step, QPointF point, double radius)
{
    const auto found = m_steps.find(step);
    if (found == m_steps.end())
        return {};
    QRectF erased;
    auto& strokes = found->second;
    const auto gone = std::remove_if(strokes.begin(), strokes.end(), [&](const InkStroke& s) {
        if (!touches(s, point, radius))
            return false;
        erased = erased.united(s.bounds);
        return true;
    });
    if (gone == strokes.end())
        return {};
    strokes.erase(gone, strokes.end());
    ++m_generation;
    return erased;
}

QRectF ShowInk::clear(int step)
{
    const auto found = m_steps.find(step);
    if (found == m_steps.end() || found->second.empty())
        return {};
    QRectF erased;
    for (const InkStroke& s : found->second)
        erased = erased.united(s.bounds);
    m_steps.erase(found);
    ++m_generation;
    return erased;
}

void InkLayer::setTarget(QSize size, const QTransform& outlineToTarget)
{
    m_size = size;
    m_transform = outlineToTarget;
    m_valid = false;
}

QRect InkLayer::drawLines(QImage& image, const InkStroke& stroke, size_t from) const
{
    const size_t n = stroke.points.size();
    if (n == 0 || from >= n)
        return {};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(m_transform);
    QPen pen(stroke.colour, stroke.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setColor(QColor(stroke.colour.red(), stroke.colour.green(), stroke.colour.blue()));
    QRectF touched;
    if (from == 0) {
        // The stroke starts with a dot, so that a click leaves a mark and a stroke looks the same
        // however its points came.
        pen.setWidthF(std::max(0.5, stroke.width * stroke.weights[0]));
        painter.setPen(pen);
        painter.drawPoint(stroke.points[0]);
        const double half = pen.widthF() / 2 + 1;
        touched = QRectF(stroke.points[0], stroke.points[0]).adjusted(-half, -half, half, half);
    }
    for (size_t i = std::max<size_t>(from, 1); i < n; ++i) {
        const double w = stroke.width * (stroke.weights[i - 1] + stroke.weights[i]) / 2;
        pen.setWidthF(std::max(0.5, w));
        painter.setPen(pen);
        painter.drawLine(stroke.points[i - 1], stroke.points[i]);
        const double half = std::max(0.5, w) / 2 + 1;
        touched = touched.united(
            QRectF(stroke.points[i - 1], stroke.points[i]).normalized().adjusted(-half, -half, half, half));
    }
    return m_transform.mapRect(touched).toAlignedRect().adjusted(-2, -2, 2, 2) & image.rect();
}

void InkLayer::touchLive(const QRect& r)
{
    if (r.isEmpty())
        return;
    m_liveBounds |= r;
    const int columns = (m_size.width() + kTile - 1) / kTile;
    m_liveTiles.resize(size_t(columns) * size_t((m_size.height() + kTile - 1) / kTile));
    for (int y = r.top() / kTile; y <= r.bottom() / kTile; ++y)
        for (int x = r.left() / kTile; x <= r.right() / kTile; ++x)
            m_liveTiles[size_t(y) * size_t(columns) + size_t(x)] = true;
}

void InkLayer::mergeLive(double opacity)
{
    if (m_liveBounds.isEmpty())
        return;
    // Only the tiles the stroke crossed: a long stroke's bounds may be most of the screen.
    QPainter painter(&m_done);
    painter.setOpacity(opacity);
    QPainter clear(&m_live);
    clear.setCompositionMode(QPainter::CompositionMode_Clear);
    const int columns = (m_size.width() + kTile - 1) / kTile;
    for (size_t i = 0; i < m_liveTiles.size(); ++i) {
        if (!m_liveTiles[i])
            continue;
        m_liveTiles[i] = false;
        const QRect tile = QRect(int(i % size_t(columns)) * kTile, int(i / size_t(columns)) * kTile, kTile, kTile)
                           & QRect(QPoint(0, 0), m_size);
        painter.drawImage(tile.topLeft(), m_live, tile);
        clear.fillRect(tile, Qt::transparent);
    }
    m_liveBounds = {};
}

void InkLayer::prepare()
{
    if (m_size.isEmpty() || m_done.size() == m_size)
        return;
    m_done = QImage(m_size, QImage::Format_ARGB32_Premultiplied);
    m_live = QImage(m_size, QImage::Format_ARGB32_Premultiplied);
    m_done.fill(Qt::transparent);
    m_live.fill(Qt::transparent);
    m_valid = false;  // drawn again into the new pictures at the next sync
    m_empty = true;
}

QRect InkLayer::redrawAll(const ShowInk& ink, int step)
{
    const bool wasEmpty = m_empty;
    m_valid = true;
    m_step = step;
    m_generation = ink.generation();
    m_finished = 0;
    m_liveActive = false;
    m_livePoints = 0;
    m_liveBounds = {};
    m_liveTiles.assign(m_liveTiles.size(), false);
    const InkStroke* live = ink.live(step);
    const bool nothing = ink.strokes(step).empty() && !live;
    if (m_size.isEmpty() || (nothing && wasEmpty && m_done.size() == m_size))
        return {};
    if (nothing && m_done.isNull())
        return {};  // the pictures are made when the first stroke needs them
    if (m_done.size() != m_size) {
        prepare();
        m_valid = true;
    } else if (!wasEmpty) {
        m_done.fill(Qt::transparent);
        m_live.fill(Qt::transparent);
    }
    m_empty = nothing;
    for (const InkStroke& s : ink.strokes(step)) {
        touchLive(drawLines(m_live, s, 0));
        mergeLive(s.opacity());
        ++m_finished;
    }
    if (live) {
        m_liveActive = true;
        m_liveOpacity = live->opacity();
        touchLive(drawLines(m_live, *live, 0));
        m_livePoints = live->points.size();
    }
    return QRect(QPoint(0, 0), m_size);
}

QRect InkLayer::sync(const ShowInk& ink, int step)
{
    if (!m_valid || step != m_step || ink.generation() != m_generation)
        return redrawAll(ink, step);
    if (m_size.isEmpty())
        return {};
    QRect dirty;
    const std::vector<InkStroke>& done = ink.strokes(step);
    if (done.size() < m_finished || ((done.size() > m_finished || ink.live(step)) && m_done.size() != m_size))
        return redrawAll(ink, step);
    if (done.size() > m_finished || ink.live(step))
        m_empty = false;
    while (m_finished < done.size()) {
        const InkStroke& s = done[m_finished];
        if (m_liveActive) {
            // The stroke being drawn has been finished: its last points, then it joins the others.
            const QRect rest = drawLines(m_live, s, m_livePoints);
            touchLive(rest);
            dirty |= rest;
            m_liveActive = false;
            m_livePoints = 0;
        } else {
            const QRect all = drawLines(m_live, s, 0);
            touchLive(all);
            dirty |= all;
        }
        mergeLive(s.opacity());
        ++m_finished;
    }
    if (const InkStroke* live = ink.live(step)) {
        if (!m_liveActive) {
            m_liveActive = true;
            m_livePoints = 0;
            m_liveOpacity = live->opacity();
        }
        const QRect added = drawLines(m_live, *live, m_livePoints);
        touchLive(added);
        dirty |= added;
        m_livePoints = live->points.size();
    } else if (m_liveActive) {
        return redrawAll(ink, step);
    }
    return dirty;
}

void InkLayer::paint(QPainter& painter, const QRect& exposed) const
{
    if (!m_valid || (m_finished == 0 && !m_liveActive))
        return;
    const QRect part = exposed & QRect(QPoint(0, 0), m_size);
    if (part.isEmpty())
        return;
    painter.drawImage(part.topLeft(), m_done, part);
    if (m_liveActive) {
        const QRect live = part & m_liveBounds;
        if (!live.isEmpty()) {
            painter.save();
            painter.setOpacity(m_liveOpacity);
            painter.drawImage(live.topLeft(), m_live, live);
            painter.restore();
        }
    }
}

void InkLayer::paintStrokes(QImage& image, const std::vector<InkStroke>& strokes, const QTransform& outlineToImage)
{
    if (strokes.empty())
        return;
    ShowInk ink;
    for (const InkStroke& s : strokes) {
        ink.begin(0, s, s.points.front(), s.weights.front());
        for (size_t i = 1; i < s.points.size(); ++i)
            ink.extend(s.points[i], s.weights[i]);
        ink.end();
    }
    InkLayer layer;
    layer.setTarget(image.size(), outlineToImage);
    layer.sync(ink, 0);
    QPainter painter(&image);
    layer.paint(painter, image.rect());
}

}  // namespace velmar
