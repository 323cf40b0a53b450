#include "model/reveal_order.h"

#include "model/object_kinds.h"

#include <algorithm>

namespace velmar {

namespace {

// The kinds that lie inside a frame or on the canvas and stand in the object sequence.
struct Placed {
    ObjectId id = 0;
    int parentFrame = 0;  // a valid frame slot, or 0 for the canvas
    QRect bounds;         // canvas coordinates
    const QString* minimalText = nullptr;
};

// Every picture, text field and video fragment (and, apart, every caption) with its place on the
// canvas. An object whose parent frame number names no frame lies on the canvas.
class Placement {
public:
    explicit Placement(const Outline& outline) : m_outline(outline)
    {
        for (const PictureObject& p : outline.objects<PictureObject>())
            m_objects.push_back(place(p.id, p.parentFrame, p.bounds, &p.minimalText));
        for (const TextFieldObject& t : outline.objects<TextFieldObject>())
            m_objects.push_back(place(t.id, t.parentFrame, t.bounds, &t.minimalText));
        for (const VideoObject& v : outline.objects<VideoObject>())
            m_objects.push_back(place(v.id, v.parentFrame, v.bounds, &v.minimalText));
        for (const CaptionObject& c : outline.objects<CaptionObject>())
            m_captions.push_back(place(c.id, c.parentFrame, c.bounds, nullptr));
        for (std::size_t i = 0; i < m_objects.size(); ++i)
            m_index.emplace(m_objects[i].id, i);
    }

    const std::vector<Placed>& objects() const { return m_objects; }
    const std::vector<Placed>& captions() const { return m_captions; }

    const Placed* object(ObjectId id) const
    {
        const auto it = m_index.find(id);
        return it == m_index.end() ? nullptr : &m_objects[it->second];
    }

    // Where a point of the canvas shows this object: inside its bounds and, for an object in a
    // frame, inside the frame too (the frame clips what reaches past its edges).
    bool covers(const Placed& p, QPoint point) const
    {
        if (!p.bounds.contains(point))
            return false;
        return p.parentFrame == 0 || m_outline.frame(p.parentFrame).bounds.contains(point);
    }

private:
    Placed place(ObjectId id, int parentFrame, const QRect& bounds, const QString* minimalText) const
    {
        if (parentFrame < 1 || parentFrame > m_outline.count(ObjectKind::Frame))
            return {id, 0, bounds, minimalText};
        return {id, parentFrame, bounds.translated(m_outline.frame(parentFrame).bounds.topLeft()), minimalText};
    }

    const Outline& m_outline;
    std::vector<Placed> m_objects;
    std::vector<Placed> m_captions;
    std::unordered_map<ObjectId, std::size_t> m_index;
};

QString subtitleOf(const QString* minimalText)
{
    if (!minimalText || *minimalText == kUndefinedText)
        return {};
    // The text's own line breaks stay, one per CR LF, as plain '\n'.
    QString text = *minimalText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text.trimmed();
}

}  // namespace

RevealOrder::RevealOrder(const Outline& outline)
{
    m_steps.push_back({});
    const Placement placement(outline);

    // The objects of one parent (frame slot or 0) in reading order: sequenced ones first, in
    // sequence order, then those the sequence misses in table order.
    const Sequence& objectSequence = outline.objectSequence();
    const auto revealObjectsOf = [&](int parentFrame) {
        for (int i = 1; i <= objectSequence.length(); ++i) {
            const Placed* p = placement.object(objectSequence.entry(i));
            if (p && p->parentFrame == parentFrame && stepOf(p->id) < 0)
                add(p->id, p->minimalText);
        }
        for (const Placed& p : placement.objects())
            if (p.parentFrame == parentFrame && stepOf(p.id) < 0)
                add(p.id, p.minimalText);
    };
    const auto revealFrame = [&](int slot) {
        const FrameObject& frame = outline.frame(slot);
        add(frame.id, &frame.minimalText);
        for (const Placed& c : placement.captions())
            if (c.parentFrame == slot)
                attach(c.id, lastStep());
        revealObjectsOf(slot);
    };

    const Sequence& frameSequence = outline.frameSequence();
    for (int i = 1; i <= frameSequence.length(); ++i) {
        const ObjectId id = frameSequence.entry(i);
        const int slot = outline.findSlot(ObjectKind::Frame, id);
        if (slot > 0 && stepOf(id) < 0)
            revealFrame(slot);
    }
    for (int slot = 1; slot <= outline.count(ObjectKind::Frame); ++slot)
        if (stepOf(outline.frame(slot).id) < 0)
            revealFrame(slot);
    revealObjectsOf(0);
    for (const Placed& c : placement.captions())
        if (c.parentFrame == 0)
            add(c.id, nullptr);

    // An end is covered at the latest step of whatever lies under it (0 on bare canvas).
    const auto coveredAt = [&](QPoint end) {
        int at = 0;
        for (int slot = 1; slot <= outline.count(ObjectKind::Frame); ++slot)
            if (outline.frame(slot).bounds.contains(end))
                at = std::max(at, stepOf(outline.frame(slot).id));
        for (const auto* list : {&placement.objects(), &placement.captions()})
            for (const Placed& p : *list)
                if (placement.covers(p, end))
                    at = std::max(at, stepOf(p.id));
        return at;
    };
    // An attached end is covered once the object it is attached to is shown, whatever else lies
    // under it.
    const auto endCoveredAt = [&](const ArrowEndAttachment& end, QPoint point) {
        if (end.attached() && end.slot <= outline.count(end.kind))
            if (const int at = stepOf(
                    withObject(outline, ObjectRef{end.kind, end.slot}, [](const auto& object) { return object.id; }));
                at >= 0)
                return at;
        return coveredAt(point);
    };
    for (const ArrowObject& a : outline.objects<ArrowObject>()) {
        const int at = std::max(endCoveredAt(a.startAttachment, QPoint(a.x1, a.y1)),
                                endCoveredAt(a.endAttachment, QPoint(a.x2, a.y2)));
        attach(a.id, std::min(std::max(at, 1), lastStep()));
    }
}

const RevealStep& RevealOrder::step(int index) const
{
    static const RevealStep none;
    if (index < 0 || index >= stepCount())
        return none;
    return m_steps[std::size_t(index)];
}

int RevealOrder::stepOf(ObjectId id) const
{
    const auto it = m_stepOf.find(id);
    return it == m_stepOf.end() ? -1 : it->second;
}

bool RevealOrder::isShownAt(ObjectId id, int step) const
{
    const int at = stepOf(id);
    return at >= 0 && at <= step;
}

std::vector<ObjectId> RevealOrder::shownAt(int step) const
{
    std::vector<ObjectId> shown;
    for (int i = 0; i <= std::min(step, lastStep()); ++i)
        shown.insert(shown.end(), m_steps[std::size_t(i)].appearing.begin(), m_steps[std::size_t(i)].appearing.end());
    return shown;
}

void RevealOrder::add(ObjectId lead, const QString* minimalText)
{
    m_steps.push_back({lead, {}, subtitleOf(minimalText)});
    attach(lead, lastStep());
}

void RevealOrder::attach(ObjectId id, int step)
{
    m_steps[std::size_t(step)].appearing.push_back(id);
    m_stepOf.emplace(id, step);
}

}  // namespace velmar
