#include "model/object_transfer.h"

#include "model/object_kinds.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <map>

namespace velmar {

namespace {

// The kinds a copy carries: an outline file holds no captions.
using CopiedKinds = KindList<FrameObject, PictureObject, VideoObject, TextFieldObject, ArrowObject>;
using ObjectsInFrames = KindList<PictureObject, VideoObject, TextFieldObject>;

QRect storable(const QRect& r)
{
    return QRect(storableCoordinate(r.left()), storableCoordinate(r.top()), std::min(r.width(), kMaxCoordinate),
                 std::min(r.height(), kMaxCoordinate));
}

QPoint clampedArrowShift(const ArrowObject& a, QPoint delta)
{
    return QPoint(std::clamp(delta.x(), kMinCoordinate - std::min(a.x1, a.x2), kMaxCoordinate - std::max(a.x1, a.x2)),
                  std::clamp(delta.y(), kMinCoordinate - std::min(a.y1, a.y2), kMaxCoordinate - std::max(a.y1, a.y2)));
}

// The entries of a sequence that map to new identities, in its order, then the new identities
// that were not in it, in the order given.
std::vector<ObjectId> inReadingOrder(const Sequence& sequence, const std::map<ObjectId, ObjectId>& newIds,
                                     const std::vector<ObjectId>& all)
{
    std::vector<ObjectId> ordered;
    for (int position = 1; position <= sequence.length(); ++position)
        if (const auto found = newIds.find(sequence.entry(position)); found != newIds.end())
            if (std::find(ordered.begin(), ordered.end(), found->second) == ordered.end())
                ordered.push_back(found->second);
    for (ObjectId id : all)
        if (std::find(ordered.begin(), ordered.end(), id) == ordered.end())
            ordered.push_back(id);
    return ordered;
}

}  // namespace

Outline copyObjects(const Outline& outline, const ObjectGroup& group)
{
    Outline copy;
    copy.setClientSize(outline.clientSize());
    const ObjectGroup leaders = groupLeaders(outline, group);
    const auto chosen = [&leaders](ObjectId id) {
        return std::find(leaders.begin(), leaders.end(), id) != leaders.end();
    };

    std::map<int, int> frameSlots;           // source frame slot -> copy's slot
    std::map<ObjectId, ObjectId> newFrames;  // source identity -> copy's identity
    std::map<ObjectId, ObjectId> newObjects;
    std::vector<ObjectId> frameOrder, objectOrder;
    std::vector<QRect> copiedAreas;  // where the copied objects lie on the canvas, for the arrows
    for (int slot = 1; slot <= outline.count(ObjectKind::Frame); ++slot) {
        const FrameObject& frame = outline.frame(slot);
        if (!chosen(frame.id))
            continue;
        const int to = copy.appendStored(frame);
        frameSlots[slot] = to;
        newFrames[frame.id] = copy.frame(to).id;
        frameOrder.push_back(copy.frame(to).id);
        copiedAreas.push_back(frame.bounds);
    }
    forEachKindIn(ObjectsInFrames{}, [&](auto tag) {
        using Object = typename decltype(tag)::Object;
        for (const Object& object : outline.objects<Object>()) {
            Object copied = object;
            if (const auto frame = frameSlots.find(object.parentFrame); frame != frameSlots.end()) {
                copied.parentFrame = quint8(frame->second);
            } else if (chosen(object.id)) {
                // Its frame stays behind: the copy lies on the canvas where the object is seen.
                copied.bounds = canvasRectOf(outline, object.id);
                copied.parentFrame = 0;
                copiedAreas.push_back(copied.bounds);
            } else {
                continue;
            }
            const int to = copy.appendStored(copied);
            if (to == 0)
                continue;
            const ObjectId id = copy.object<Object>(to).id;
            newObjects[object.id] = id;
            objectOrder.push_back(id);
        }
    });
    const auto onCopied = [&copiedAreas](QPoint p) {
        return std::any_of(copiedAreas.begin(), copiedAreas.end(), [p](const QRect& r) { return r.contains(p); });
    };
    for (const ArrowObject& arrow : outline.objects<ArrowObject>())
        if (chosen(arrow.id) || (onCopied(QPoint(arrow.x1, arrow.y1)) && onCopied(QPoint(arrow.x2, arrow.y2))))
            copy.appendStored(arrow);

    for (ObjectId id : inReadingOrder(outline.frameSequence(), newFrames, frameOrder))
        copy.frameSequence().append(id, true);
    for (ObjectId id : inReadingOrder(outline.objectSequence(), newObjects, objectOrder))
        copy.objectSequence().append(id, true);
    return copy;
}

QString textsInReadingOrder(const Outline& outline)
{
    QStringList paragraphs;
    const auto add = [&paragraphs](const QString& text) {
        QString plain = text;
        plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        if (!plain.trimmed().isEmpty())
            paragraphs << plain;
    };
    // Text fields by their place in the object order, then those out of it by slot.
    std::vector<int> fields;
    for (int slot = 1; slot <= outline.count(ObjectKind::TextField); ++slot)
        fields.push_back(slot);
    const auto orderOf = [&outline](int slot) {
        const int position = outline.objectSequence().positionOf(outline.textField(slot).id);
        return position > 0 ? position : Sequence::kCapacity + slot;
    };
    std::stable_sort(fields.begin(), fields.end(), [&](int a, int b) { return orderOf(a) < orderOf(b); });
    const auto fieldsIn = [&](int frame) {
        for (int slot : fields)
            if (outline.textField(slot).parentFrame == frame)
                add(outline.textField(slot).text);
    };

    std::vector<int> frames;
    for (int slot = 1; slot <= outline.count(ObjectKind::Frame); ++slot)
        frames.push_back(slot);
    const auto frameOrder = [&outline](int slot) {
        const int position = outline.frameSequence().positionOf(outline.frame(slot).id);
        return position > 0 ? position : Sequence::kCapacity + slot;
    };
    std::stable_sort(frames.begin(), frames.end(), [&](int a, int b) { return frameOrder(a) < frameOrder(b); });
    for (int slot : frames) {
        add(outline.frame(slot).title);
        fieldsIn(slot);
    }
    fieldsIn(0);
    return paragraphs.join(QLatin1Char('\n'));
}

QString pasteCapacityProblem(const Outline& outline, const Outline& copy)
{
    QStringList problems;
    forEachKindIn(CopiedKinds{}, [&](auto tag) {
        const int wanted = copy.count(tag.kind);
        const int free = kTableCapacity - outline.count(tag.kind);
        if (wanted > free)
            problems << QCoreApplication::translate("Outline", "%1: вставляется %2, а места осталось для %3.")
                            .arg(QCoreApplication::translate("Outline", decltype(tag)::Traits::manyWhat))
                            .arg(wanted)
                            .arg(std::max(0, free));
    });
    if (problems.isEmpty())
        return {};
    return QCoreApplication::translate("Outline",
                                       "Объекты не вставлены: в логическом конспекте может быть не больше %1 "
                                       "объектов каждого вида.\n%2")
        .arg(kTableCapacity)
        .arg(problems.join(QLatin1Char('\n')));
}

PasteResult pasteObjects(Outline& outline, const Outline& copy, QPoint delta, int intoFrame)
{
    PasteResult result;
    result.refusal = pasteCapacityProblem(outline, copy);
    if (!result.refusal.isEmpty())
        return result;
    const bool inFrame =
        intoFrame >= 1 && intoFrame <= outline.count(ObjectKind::Frame) && copy.count(ObjectKind::Frame) == 0;

    std::map<int, int> frameSlots;
    std::map<ObjectId, ObjectId> newFrames, newObjects;
    std::vector<ObjectId> frameOrder, objectOrder;
    for (int slot = 1; slot <= copy.count(ObjectKind::Frame); ++slot) {
        FrameObject frame = copy.frame(slot);
        frame.bounds = storable(frame.bounds.translated(delta));
        const int to = outline.appendStored(frame);
        frameSlots[slot] = to;
        const ObjectId id = outline.frame(to).id;
        newFrames[copy.frame(slot).id] = id;
        frameOrder.push_back(id);
        result.pasted.push_back(id);
    }
    forEachKindIn(ObjectsInFrames{}, [&](auto tag) {
        using Object = typename decltype(tag)::Object;
        for (const Object& object : copy.objects<Object>()) {
            Object pasted = object;
            const bool top = object.parentFrame == 0 || !frameSlots.count(object.parentFrame);
            if (!top) {
                pasted.parentFrame = quint8(frameSlots[object.parentFrame]);
            } else if (inFrame) {
                const QRect frame = outline.frame(intoFrame).bounds;
                pasted.bounds = fitIntoParent(object.bounds.translated(delta - frame.topLeft()), frame.size());
                pasted.parentFrame = quint8(intoFrame);
            } else {
                pasted.bounds = storable(object.bounds.translated(delta));
                pasted.parentFrame = 0;
            }
            const int to = outline.appendStored(pasted);
            const ObjectId id = outline.object<Object>(to).id;
            newObjects[object.id] = id;
            objectOrder.push_back(id);
            if (top)
                result.pasted.push_back(id);
        }
    });
    for (const ArrowObject& arrow : copy.objects<ArrowObject>()) {
        ArrowObject pasted = arrow;
        const QPoint shift = clampedArrowShift(arrow, delta);
        pasted.x1 += shift.x();
        pasted.x2 += shift.x();
        pasted.y1 += shift.y();
        pasted.y2 += shift.y();
        const int to = outline.appendStored(pasted);
        result.pasted.push_back(outline.arrow(to).id);
    }
    // The pasted objects join the reading orders as new ones do, in the order the copy has them.
    for (ObjectId id : inReadingOrder(copy.frameSequence(), newFrames, frameOrder))
        outline.frameSequence().append(id, outline.sequenceRecording());
    for (ObjectId id : inReadingOrder(copy.objectSequence(), newObjects, objectOrder))
        outline.objectSequence().append(id, outline.sequenceRecording());
    return result;
}

}  // namespace velmar
