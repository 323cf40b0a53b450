#include "model/arrow_attachment.h"

#include "model/object_kinds.h"

#include <cmath>

namespace velmar {

namespace {

constexpr double kShareUnits = 65536.0;

// The share of a length an offset into it stands for, and back. Any width an outline file can hold
// gives the offset back to the pixel: the share's rounding moves it by less than half a pixel.
quint16 shareOf(int offset, int length)
{
    if (length <= 0 || offset <= 0)
        return 0;
    return quint16(std::clamp(std::nearbyint(offset * kShareUnits / length), 0.0, 65535.0));
}

int offsetOf(quint16 share, int length)
{
    return int(std::nearbyint(share * double(std::max(0, length)) / kShareUnits));
}

QRect inFrame(const Outline& outline, QRect bounds, int parentFrame)
{
    if (parentFrame >= 1 && parentFrame <= outline.count(ObjectKind::Frame))
        return bounds.translated(outline.frame(parentFrame).bounds.topLeft());
    return bounds;
}

// Whether a point shows the object: inside its canvas rectangle and, in a frame, inside the frame.
template <typename Object>
bool shows(const Outline& outline, const Object& object, QPoint point)
{
    if constexpr (HasParentFrame<Object>) {
        if (!inFrame(outline, object.bounds, object.parentFrame).contains(point))
            return false;
        return object.parentFrame < 1 || object.parentFrame > outline.count(ObjectKind::Frame)
               || outline.frame(object.parentFrame).bounds.contains(point);
    } else if constexpr (HasBounds<Object>) {
        return object.bounds.contains(point);
    } else {
        return false;
    }
}

ArrowEndAttachment& endOf(ArrowObject& a, bool startEnd) { return startEnd ? a.startAttachment : a.endAttachment; }

QPoint pointOf(const ArrowObject& a, bool startEnd) { return startEnd ? QPoint(a.x1, a.y1) : QPoint(a.x2, a.y2); }

void setPoint(ArrowObject& a, bool startEnd, QPoint p)
{
    (startEnd ? a.x1 : a.x2) = storableCoordinate(p.x());
    (startEnd ? a.y1 : a.y2) = storableCoordinate(p.y());
}

}  // namespace

bool isAttachableKind(ObjectKind kind)
{
    return kind == ObjectKind::Frame || kind == ObjectKind::Picture || kind == ObjectKind::TextField
           || kind == ObjectKind::Video;
}

std::optional<QRect> attachableRect(const Outline& outline, ObjectKind kind, int slot)
{
    if (!isAttachableKind(kind) || slot < 1 || slot > outline.count(kind))
        return std::nullopt;
    return withObject(outline, ObjectRef{kind, slot}, [&](const auto& object) -> std::optional<QRect> {
        using Object = std::decay_t<decltype(object)>;
        if constexpr (HasParentFrame<Object>)
            return inFrame(outline, object.bounds, object.parentFrame);
        else if constexpr (HasBounds<Object>)
            return object.bounds;
        else
            return std::nullopt;
    });
}

ObjectRef attachableObjectAt(const Outline& outline, QPoint p)
{
    // Objects lie above the frames, and of two objects the one made later lies above, as their
    // widgets do.
    ObjectRef found;
    ObjectId topmost = 0;
    for (ObjectKind kind : {ObjectKind::Picture, ObjectKind::Video, ObjectKind::TextField})
        withKind(kind, [&](auto tag) {
            using Object = typename decltype(tag)::Object;
            const auto& objects = outline.objects<Object>();
            for (std::size_t i = 0; i < objects.size(); ++i)
                if (objects[i].id > topmost && shows(outline, objects[i], p)) {
                    topmost = objects[i].id;
                    found = ObjectRef{kind, int(i) + 1};
                }
        });
    if (found.isValid())
        return found;
    const auto& frames = outline.objects<FrameObject>();
    for (int k = int(frames.size()); k >= 1; --k)
        if (frames[std::size_t(k - 1)].bounds.contains(p))
            return ObjectRef{ObjectKind::Frame, k};
    return {};
}

ObjectId attachableObjectIdAt(const Outline& outline, QPoint p)
{
    const ObjectRef target = attachableObjectAt(outline, p);
    return target.isValid() ? withObject(outline, target, [](const auto& object) { return object.id; }) : 0;
}

ArrowEndAttachment attachmentAt(const Outline& outline, QPoint p)
{
    const ObjectRef target = attachableObjectAt(outline, p);
    const std::optional<QRect> rect =
        target.isValid() ? attachableRect(outline, target.kind, target.slot) : std::nullopt;
    if (!rect)
        return {};
    ArrowEndAttachment end;
    end.kind = target.kind;
    end.slot = target.slot;
    end.shareX = shareOf(p.x() - rect->x(), rect->width());
    end.shareY = shareOf(p.y() - rect->y(), rect->height());
    return end;
}

std::optional<QPoint> attachedPoint(const Outline& outline, const ArrowEndAttachment& end)
{
    if (!end.attached())
        return std::nullopt;
    const std::optional<QRect> rect = attachableRect(outline, end.kind, end.slot);
    if (!rect)
        return std::nullopt;
    return QPoint(storableCoordinate(rect->x() + offsetOf(end.shareX, rect->width())),
                  storableCoordinate(rect->y() + offsetOf(end.shareY, rect->height())));
}

bool dropArrowEnd(Outline& outline, int arrowSlot, bool startEnd, QPoint p)
{
    if (arrowSlot < 1 || arrowSlot > outline.count(ObjectKind::Arrow))
        return false;
    ArrowObject& a = outline.arrow(arrowSlot);
    const ArrowObject before = a;
    const QPoint dropped(storableCoordinate(p.x()), storableCoordinate(p.y()));
    endOf(a, startEnd) = attachmentAt(outline, dropped);
    setPoint(a, startEnd, attachedPoint(outline, endOf(a, startEnd)).value_or(dropped));
    return pointOf(a, startEnd) != pointOf(before, startEnd)
           || (startEnd ? a.startAttachment != before.startAttachment : a.endAttachment != before.endAttachment);
}

std::vector<ObjectId> followAttachments(Outline& outline)
{
    std::vector<ObjectId> changed;
    for (int k = 1; k <= outline.count(ObjectKind::Arrow); ++k) {
        ArrowObject& a = outline.arrow(k);
        bool moved = false;
        for (bool startEnd : {true, false}) {
            ArrowEndAttachment& end = endOf(a, startEnd);
            if (!end.attached())
                continue;
            const std::optional<QPoint> at = attachedPoint(outline, end);
            if (!at) {
                end = ArrowEndAttachment{};
                moved = true;
            } else if (*at != pointOf(a, startEnd)) {
                setPoint(a, startEnd, *at);
                moved = true;
            }
        }
        if (moved)
            changed.push_back(a.id);
    }
    return changed;
}

std::vector<int> freeUnsoundAttachments(Outline& outline)
{
    std::vector<int> freed;
    for (int k = 1; k <= outline.count(ObjectKind::Arrow); ++k) {
        ArrowObject& a = outline.arrow(k);
        bool lost = false;
        for (bool startEnd : {true, false}) {
            ArrowEndAttachment& end = endOf(a, startEnd);
            if (!end.attached()) {
                end = ArrowEndAttachment{};  // a place without an object means nothing
                continue;
            }
            const std::optional<QPoint> at = attachedPoint(outline, end);
            if (!at || *at != pointOf(a, startEnd)) {
                end = ArrowEndAttachment{};
                lost = true;
            }
        }
        if (lost)
            freed.push_back(k);
    }
    return freed;
}

quint32 attachedObjectCode(const ArrowEndAttachment& end)
{
    return end.attached() ? quint32(int(end.kind)) * 256 + quint32(end.slot) : 0;
}

quint32 attachedPlaceCode(const ArrowEndAttachment& end) { return quint32(end.shareX) << 16 | end.shareY; }

void setAttachedObjectCode(ArrowEndAttachment& end, quint32 code)
{
    end.kind = ObjectKind(std::min<quint32>(code / 256, quint32(ObjectKind::Arrow)));
    end.slot = int(code % 256);
}

void setAttachedPlaceCode(ArrowEndAttachment& end, quint32 code)
{
    end.shareX = quint16(code >> 16);
    end.shareY = quint16(code & 0xFFFF);
}

}  // namespace velmar
