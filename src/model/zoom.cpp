#include "model/zoom.h"

#include "model/arrow_attachment.h"
#include "model/grid.h"
#include "model/outline.h"
#include "model/text_metrics.h"

#include <algorithm>
#include <climits>
#include <cmath>

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

}  // namespace

namespace {

// Every object's present geometry becomes its reference, as the zoom keeps it.
void takeReference(Outline& outline)
{
    for (int i = 1; i <= outline.count(ObjectKind::Frame); ++i) {
        FrameObject& f = outline.frame(i);
        f.reference = withoutToolBar(f.bounds);
    }
    for (int i = 1; i <= outline.count(ObjectKind::Caption); ++i) {
        CaptionObject& c = outline.caption(i);
        c.reference = c.bounds;
    }
    for (int i = 1; i <= outline.count(ObjectKind::TextField); ++i) {
        TextFieldObject& t = outline.textField(i);
        t.reference = t.bounds;
        t.referenceFontSize = t.font.size;
    }
    for (int i = 1; i <= outline.count(ObjectKind::Picture); ++i) {
        PictureObject& p = outline.picture(i);
        p.reference = p.bounds;
    }
    for (int i = 1; i <= outline.count(ObjectKind::Video); ++i) {
        VideoObject& v = outline.video(i);
        v.reference = withoutToolBar(v.bounds);
    }
    for (int i = 1; i <= outline.count(ObjectKind::Arrow); ++i) {
        ArrowObject& a = outline.arrow(i);
        a.referenceStart = QPoint(a.x1, a.y1);
        a.referenceEnd = QPoint(a.x2, a.y2);
    }
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
    for (int i = 1; i <= outline.count(ObjectKind::Frame); ++i) {
        FrameObject& f = outline.frame(i);
        f.bounds = scaledBelowToolBar(f.reference, sx, sy);
    }
    for (int i = 1; i <= outline.count(ObjectKind::Caption); ++i) {
        CaptionObject& c = outline.caption(i);
        c.bounds = scaledPlain(c.reference, sx, sy);
    }
    for (int i = 1; i <= outline.count(ObjectKind::TextField); ++i) {
        TextFieldObject& t = outline.textField(i);
        const QRect& ref = t.reference;
        t.bounds = QRect(scaled(sx, ref.x()), scaled(sy, ref.y()), scaled(1.0, std::nearbyint(sx * ref.width()) + 3),
                         scaled(sy, ref.height()));
        // A font shrunk to nothing cannot be measured or shown; one point is the least.
        t.font.size = qMax(1, scaled(sy, t.referenceFontSize));
        if (const auto size = autoSizeTextField(t.text, t.font))
            t.bounds.setSize(*size);
    }
    for (int i = 1; i <= outline.count(ObjectKind::Picture); ++i) {
        PictureObject& p = outline.picture(i);
        p.bounds = scaledPlain(p.reference, sx, sy);
    }
    for (int i = 1; i <= outline.count(ObjectKind::Video); ++i) {
        VideoObject& v = outline.video(i);
        v.bounds = scaledBelowToolBar(v.reference, sx, sy);
    }
    for (int i = 1; i <= outline.count(ObjectKind::Arrow); ++i) {
        ArrowObject& a = outline.arrow(i);
        a.x1 = scaled(sx, a.referenceStart.x());
        a.y1 = scaled(sy, a.referenceStart.y());
        a.x2 = scaled(sx, a.referenceEnd.x());
        a.y2 = scaled(sy, a.referenceEnd.y());
    }
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
    for (int i = 1; i <= outline.count(ObjectKind::Frame); ++i)
        belowToolBar(outline.frame(i).reference, outline.frame(i).bounds, shown.frame(i).bounds);
    for (int i = 1; i <= outline.count(ObjectKind::Caption); ++i)
        plain(outline.caption(i).reference, outline.caption(i).bounds, shown.caption(i).bounds);
    for (int i = 1; i <= outline.count(ObjectKind::Picture); ++i)
        plain(outline.picture(i).reference, outline.picture(i).bounds, shown.picture(i).bounds);
    for (int i = 1; i <= outline.count(ObjectKind::TextField); ++i) {
        TextFieldObject& t = outline.textField(i);
        const TextFieldObject& was = shown.textField(i);
        const int width = t.reference.width();
        plain(t.reference, t.bounds, was.bounds);
        // The scaled width carries three pixels more than the reference's.
        if (t.bounds.width() != was.bounds.width())
            t.reference.setWidth(std::max(0, back(t.bounds.width(), was.bounds.width(), width, 3)));
        if (t.font.size != was.font.size)
            t.referenceFontSize = t.font.size / s;
    }
    for (int i = 1; i <= outline.count(ObjectKind::Video); ++i)
        belowToolBar(outline.video(i).reference, outline.video(i).bounds, shown.video(i).bounds);
    for (int i = 1; i <= outline.count(ObjectKind::Arrow); ++i) {
        ArrowObject& a = outline.arrow(i);
        const ArrowObject& was = shown.arrow(i);
        a.referenceStart = QPoint(back(a.x1, was.x1, a.referenceStart.x()), back(a.y1, was.y1, a.referenceStart.y()));
        a.referenceEnd = QPoint(back(a.x2, was.x2, a.referenceEnd.x()), back(a.y2, was.y2, a.referenceEnd.y()));
    }
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
    for (int i = 1; i <= laidOut.count(ObjectKind::Frame); ++i)
        laidOut.frame(i).bounds = withToolBar(laidOut.frame(i).reference);
    for (int i = 1; i <= laidOut.count(ObjectKind::Caption); ++i)
        laidOut.caption(i).bounds = laidOut.caption(i).reference;
    for (int i = 1; i <= laidOut.count(ObjectKind::Picture); ++i)
        laidOut.picture(i).bounds = laidOut.picture(i).reference;
    for (int i = 1; i <= laidOut.count(ObjectKind::TextField); ++i) {
        TextFieldObject& t = laidOut.textField(i);
        t.bounds = t.reference;
        t.font.size = std::max(1, scaled(1.0, t.referenceFontSize));
    }
    for (int i = 1; i <= laidOut.count(ObjectKind::Video); ++i)
        laidOut.video(i).bounds = withToolBar(laidOut.video(i).reference);
    for (int i = 1; i <= laidOut.count(ObjectKind::Arrow); ++i) {
        ArrowObject& a = laidOut.arrow(i);
        a.x1 = a.referenceStart.x();
        a.y1 = a.referenceStart.y();
        a.x2 = a.referenceEnd.x();
        a.y2 = a.referenceEnd.y();
    }
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
    for (int i = 1; i <= outline.count(ObjectKind::Frame); ++i)
        reach(outline.frame(i).bounds, 0);
    for (int i = 1; i <= outline.count(ObjectKind::Caption); ++i)
        reach(outline.caption(i).bounds, outline.caption(i).parentFrame);
    for (int i = 1; i <= outline.count(ObjectKind::TextField); ++i)
        reach(outline.textField(i).bounds, outline.textField(i).parentFrame);
    for (int i = 1; i <= outline.count(ObjectKind::Picture); ++i)
        reach(outline.picture(i).bounds, outline.picture(i).parentFrame);
    for (int i = 1; i <= outline.count(ObjectKind::Video); ++i)
        reach(outline.video(i).bounds, outline.video(i).parentFrame);
    for (int i = 1; i <= outline.count(ObjectKind::Arrow); ++i) {
        const ArrowObject& a = outline.arrow(i);
        top = std::min<qint64>(top, qint64(std::min(a.y1, a.y2)) - a.penWidth);
    }
    if (top >= kToolBarHeight)
        return false;
    const int by = int(std::min<qint64>(kFirstRow - top, kMaxCoordinate));
    const auto down = [by](QRect& bounds, int parentFrame) {
        if (parentFrame == 0)
            bounds.moveTop(scaled(1.0, double(bounds.top()) + by));
    };
    for (int i = 1; i <= outline.count(ObjectKind::Frame); ++i)
        down(outline.frame(i).bounds, 0);
    for (int i = 1; i <= outline.count(ObjectKind::Caption); ++i)
        down(outline.caption(i).bounds, outline.caption(i).parentFrame);
    for (int i = 1; i <= outline.count(ObjectKind::TextField); ++i)
        down(outline.textField(i).bounds, outline.textField(i).parentFrame);
    for (int i = 1; i <= outline.count(ObjectKind::Picture); ++i)
        down(outline.picture(i).bounds, outline.picture(i).parentFrame);
    for (int i = 1; i <= outline.count(ObjectKind::Video); ++i)
        down(outline.video(i).bounds, outline.video(i).parentFrame);
    for (int i = 1; i <= outline.count(ObjectKind::Arrow); ++i) {
        ArrowObject& a = outline.arrow(i);
        a.y1 = scaled(1.0, double(a.y1) + by);
        a.y2 = scaled(1.0, double(a.y2) + by);
    }
    followAttachments(outline);
    return true;
}

QSize evenWindowSize(QSize outer) { return QSize(outer.width() / 2 * 2, outer.height() / 2 * 2); }

}  // namespace velmar
