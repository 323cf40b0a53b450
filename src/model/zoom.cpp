#include "model/zoom.h"

#include "model/arrow_attachment.h"
#include "model/grid.h"
#include "model/object_kinds.h"
#include "model/outline.h"
#include "model/text_metrics.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace velmar {

namespace {

// A scaled value rounded to the nearest integer, halves to even, kept within the coordinates an
// outline file can hold: an outline zoomed far out of the window must still read back.
int scaled(double factor, double value)
{
    const double v = std::nearbyint(factor * value);
    if (v >= double(kMaxCoordinate))
        return kMaxCoordinate;
    if (v <= double(kMinCoordinate))
        return kMinCoordinate;
    return int(v);
}

// Geometry of a frame or video fragment as the reference keeps it, and back again. The sums are
// taken as reals so that values read from a damaged file cannot overflow.
QRect withoutToolBar(const QRect& r)
{
    return QRect(r.x(), scaled(1.0, double(r.y()) - kToolBarHeight), r.width(),
                 scaled(1.0, double(r.height()) - kToolBarHeight));
}

QRect scaledBelowToolBar(const QRect& ref, double sx, double sy)
{
    return QRect(scaled(sx, ref.x()), scaled(1.0, std::nearbyint(sy * ref.y()) + kToolBarHeight),
                 scaled(sx, ref.width()), scaled(sy, double(ref.height()) + kToolBarHeight));
}

QRect scaledPlain(const QRect& ref, double sx, double sy)
{
    return QRect(scaled(sx, ref.x()), scaled(sy, ref.y()), scaled(sx, ref.width()), scaled(sy, ref.height()));
}

// The frame an object lies in; 0 for objects on the canvas and kinds that never lie in a frame.
template <typename Object>
int parentOf(const Object& object)
{
    if constexpr (HasParentFrame<Object>)
        return object.parentFrame;
    else
        return 0;
}

}  // namespace

namespace {

// Every object's present geometry becomes its reference, as the zoom keeps it.
void takeReference(Outline& outline)
{
    forEachObject(outline, [](auto tag, auto& o, int) {
        constexpr ZoomRule rule = decltype(tag)::Traits::zoom;
        if constexpr (rule == ZoomRule::BelowToolBar) {
            o.reference = withoutToolBar(o.bounds);
        } else if constexpr (rule == ZoomRule::Plain) {
            o.reference = o.bounds;
        } else if constexpr (rule == ZoomRule::TextField) {
            o.reference = o.bounds;
            o.referenceFontSize = o.font.size;
        } else {
            o.referenceStart = QPoint(o.x1, o.y1);
            o.referenceEnd = QPoint(o.x2, o.y2);
        }
    });
}

// The reference layout shown at sx × sy, snapped to the grid.
void scaleFromReference(Outline& outline, double sx, double sy, int gridStep);

// A value of the canvas taken back through the scale of an own layout.
int unscaled(double scale, double value) { return scaled(1.0 / scale, value); }

}  // namespace

void recordReferenceLayout(Outline& outline, QSize clientSize)
{
    if (outline.ownLayoutScale() > 0) {
        recordOwnLayout(outline);
        return;
    }
    takeReference(outline);
    outline.setReferenceClientSize(WindowGeometry(clientSize).zoomReference());
}

bool rescaleOutline(Outline& outline, QSize clientSize, int gridStep)
{
    const QSize reference = outline.referenceClientSize();
    const int newHeight = clientSize.height() - kZoomClientHeightOffset;
    // A reference without area cannot be scaled from (the factors would divide by zero), and a
    // client area without room below the tool bar (a minimised window) would flatten every
    // object; the outline stays as it is until the window has a usable size again.
    if (reference.width() <= 0 || reference.height() <= 0 || clientSize.width() <= 0 || newHeight <= 0)
        return false;

    const double sx = double(clientSize.width()) / reference.width();
    const double sy = double(newHeight) / reference.height();
    scaleFromReference(outline, sx, sy, gridStep);
    return true;
}

namespace {

void scaleFromReference(Outline& outline, double sx, double sy, int gridStep)
{
    forEachObject(outline, [sx, sy](auto tag, auto& o, int) {
        constexpr ZoomRule rule = decltype(tag)::Traits::zoom;
        if constexpr (rule == ZoomRule::BelowToolBar) {
            o.bounds = scaledBelowToolBar(o.reference, sx, sy);
        } else if constexpr (rule == ZoomRule::Plain) {
            o.bounds = scaledPlain(o.reference, sx, sy);
        } else if constexpr (rule == ZoomRule::TextField) {
            const QRect& ref = o.reference;
            o.bounds = QRect(scaled(sx, ref.x()), scaled(sy, ref.y()),
                             scaled(1.0, std::nearbyint(sx * ref.width()) + 3), scaled(sy, ref.height()));
            // A font shrunk to nothing cannot be measured or shown; one point is the least.
            o.font.size = qMax(1, scaled(sy, o.referenceFontSize));
            if (const auto size = autoSizeTextField(o.text, o.font))
                o.bounds.setSize(*size);
        } else {
            o.x1 = scaled(sx, o.referenceStart.x());
            o.y1 = scaled(sy, o.referenceStart.y());
            o.x2 = scaled(sx, o.referenceEnd.x());
            o.y2 = scaled(sy, o.referenceEnd.y());
        }
    });
    snapToGrid(outline, gridStep);
}

}  // namespace

double fittingScale(QSize referenceClientSize, QSize clientSize)
{
    const int height = clientSize.height() - kZoomClientHeightOffset;
    if (referenceClientSize.width() <= 0 || referenceClientSize.height() <= 0 || clientSize.width() <= 0 || height <= 0)
        return 0;
    return std::min(double(clientSize.width()) / referenceClientSize.width(),
                    double(height) / referenceClientSize.height());
}

void showOwnLayout(Outline& outline, double scale, int gridStep)
{
    if (scale <= 0)
        return;
    outline.setOwnLayoutScale(scale, gridStep);
    scaleFromReference(outline, scale, scale, gridStep);
}

void recordOwnLayout(Outline& outline)
{
    const double s = outline.ownLayoutScale();
    if (s <= 0)
        return;
    // What the canvas shows of the reference as it stands: a value still equal to it was left
    // alone and keeps the reference's own value; any other was placed by the user.
    Outline shown = outline;
    scaleFromReference(shown, s, s, outline.ownLayoutGridStep());
    const auto back = [s](int now, int was, int reference, double offset = 0) {
        return now == was ? reference : scaled(1.0, std::nearbyint((now - offset) / s));
    };
    const auto belowToolBar = [&](QRect& reference, const QRect& now, const QRect& was) {
        reference =
            QRect(back(now.x(), was.x(), reference.x()), back(now.y(), was.y(), reference.y(), kToolBarHeight),
                  back(now.width(), was.width(), reference.width()),
                  now.height() == was.height() ? reference.height()
                                               : scaled(1.0, unscaled(s, now.height()) - double(kToolBarHeight)));
    };
    const auto plain = [&](QRect& reference, const QRect& now, const QRect& was) {
        reference = QRect(back(now.x(), was.x(), reference.x()), back(now.y(), was.y(), reference.y()),
                          back(now.width(), was.width(), reference.width()),
                          back(now.height(), was.height(), reference.height()));
    };
    forEachObject(outline, [&](auto tag, auto& o, int k) {
        using Object = typename decltype(tag)::Object;
        constexpr ZoomRule rule = decltype(tag)::Traits::zoom;
        const Object& was = shown.objects<Object>()[std::size_t(k - 1)];
        if constexpr (rule == ZoomRule::BelowToolBar) {
            belowToolBar(o.reference, o.bounds, was.bounds);
        } else if constexpr (rule == ZoomRule::Plain) {
            plain(o.reference, o.bounds, was.bounds);
        } else if constexpr (rule == ZoomRule::TextField) {
            const int width = o.reference.width();
            plain(o.reference, o.bounds, was.bounds);
            // The scaled width carries three pixels more than the reference's.
            if (o.bounds.width() != was.bounds.width())
                o.reference.setWidth(std::max(0, back(o.bounds.width(), was.bounds.width(), width, 3)));
            if (o.font.size != was.font.size)
                o.referenceFontSize = o.font.size / s;
        } else {
            o.referenceStart =
                QPoint(back(o.x1, was.x1, o.referenceStart.x()), back(o.y1, was.y1, o.referenceStart.y()));
            o.referenceEnd = QPoint(back(o.x2, was.x2, o.referenceEnd.x()), back(o.y2, was.y2, o.referenceEnd.y()));
        }
    });
}

Outline ownLayoutOf(const Outline& outline)
{
    Outline laidOut = outline;
    if (outline.ownLayoutScale() <= 0)
        return laidOut;
    recordOwnLayout(laidOut);
    const auto withToolBar = [](const QRect& r) {
        return QRect(r.x(), scaled(1.0, double(r.y()) + kToolBarHeight), r.width(),
                     scaled(1.0, double(r.height()) + kToolBarHeight));
    };
    forEachObject(laidOut, [&](auto tag, auto& o, int) {
        constexpr ZoomRule rule = decltype(tag)::Traits::zoom;
        if constexpr (rule == ZoomRule::BelowToolBar) {
            o.bounds = withToolBar(o.reference);
        } else if constexpr (rule == ZoomRule::Plain) {
            o.bounds = o.reference;
        } else if constexpr (rule == ZoomRule::TextField) {
            o.bounds = o.reference;
            o.font.size = std::max(1, scaled(1.0, o.referenceFontSize));
        } else {
            o.x1 = o.referenceStart.x();
            o.y1 = o.referenceStart.y();
            o.x2 = o.referenceEnd.x();
            o.y2 = o.referenceEnd.y();
        }
    });
    // Attached ends stand on their objects as that layout places them.
    followAttachments(laidOut);
    laidOut.setOwnLayoutScale(0);
    return laidOut;
}

bool moveBelowToolBar(Outline& outline)
{
    constexpr int kFirstRow = kToolBarHeight + 3;
    qint64 top = kFirstRow;
    const auto reach = [&](const QRect& bounds, int parentFrame) {
        if (parentFrame == 0)
            top = std::min<qint64>(top, bounds.top());
    };
    forEachObject(std::as_const(outline), [&](auto tag, const auto& o, int) {
        if constexpr (decltype(tag)::Traits::zoom == ZoomRule::EndPoints)
            top = std::min<qint64>(top, qint64(std::min(o.y1, o.y2)) - o.penWidth);
        else
            reach(o.bounds, parentOf(o));
    });
    if (top >= kToolBarHeight)
        return false;
    const int by = int(std::min<qint64>(kFirstRow - top, kMaxCoordinate));
    const auto down = [by](QRect& bounds, int parentFrame) {
        if (parentFrame == 0)
            bounds.moveTop(scaled(1.0, double(bounds.top()) + by));
    };
    forEachObject(outline, [&](auto tag, auto& o, int) {
        if constexpr (decltype(tag)::Traits::zoom == ZoomRule::EndPoints) {
            o.y1 = scaled(1.0, double(o.y1) + by);
            o.y2 = scaled(1.0, double(o.y2) + by);
        } else {
            down(o.bounds, parentOf(o));
        }
    });
    followAttachments(outline);
    return true;
}

QSize evenWindowSize(QSize outer) { return QSize(outer.width() / 2 * 2, outer.height() / 2 * 2); }

}  // namespace velmar
