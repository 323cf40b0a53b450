#include "model/zoom.h"

#include "model/grid.h"
#include "model/outline.h"
#include "model/text_metrics.h"

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
    return QRect(r.x(), scaled(1.0, double(r.y()) - kZoomTopOffset), r.width(),
                 scaled(1.0, double(r.height()) - kZoomTopOffset));
}

QRect scaledBelowToolBar(const QRect& ref, double sx, double sy)
{
    return QRect(scaled(sx, ref.x()), scaled(1.0, std::nearbyint(sy * ref.y()) + kZoomTopOffset),
                 scaled(sx, ref.width()), scaled(sy, double(ref.height()) + kZoomTopOffset));
}

QRect scaledPlain(const QRect& ref, double sx, double sy)
{
    return QRect(scaled(sx, ref.x()), scaled(sy, ref.y()), scaled(sx, ref.width()), scaled(sy, ref.height()));
}

}  // namespace

void recordReferenceLayout(Outline& outline, QSize clientSize)
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
    outline.setReferenceClientSize(QSize(clientSize.width(), clientSize.height() - kZoomClientHeightOffset));
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
        t.bounds = QRect(scaled(sx, ref.x()), scaled(sy, ref.y()),
                         scaled(1.0, std::nearbyint(sx * ref.width()) + 3), scaled(sy, ref.height()));
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
    return true;
}

QSize evenWindowSize(QSize outer)
{
    return QSize(outer.width() / 2 * 2, outer.height() / 2 * 2);
}

}  // namespace velmar
