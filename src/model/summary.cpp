#include "model/summary.h"

#include "model/reveal_order.h"

#include <optional>
#include <vector>

namespace velmar {

namespace {

// Parent frame number and minimal text of an object that can stand in the object sequence.
struct SequencedObject {
    int parentFrame = 0;
    const QString* minimalText = nullptr;
};

SequencedObject sequencedObject(const Outline& outline, ObjectId id)
{
    const ObjectRef ref = outline.find(id);
    if (!ref.isValid())
        return {};
    switch (ref.kind) {
    case ObjectKind::Picture: {
        const PictureObject& p = outline.picture(ref.slot);
        return {p.parentFrame, &p.minimalText};
    }
    case ObjectKind::TextField: {
        const TextFieldObject& t = outline.textField(ref.slot);
        return {t.parentFrame, &t.minimalText};
    }
    case ObjectKind::Video: {
        const VideoObject& v = outline.video(ref.slot);
        return {v.parentFrame, &v.minimalText};
    }
    default: return {};
    }
}

}  // namespace

const QString* minimalTextOf(const Outline& outline, ObjectId id)
{
    const ObjectRef ref = outline.find(id);
    if (ref.isValid() && ref.kind == ObjectKind::Frame)
        return &outline.frame(ref.slot).minimalText;
    return sequencedObject(outline, id).minimalText;
}

std::vector<SummarySection> summarySections(const Outline& outline)
{
    // The show's reading order: each frame followed by the objects lying in it, then the objects
    // lying on the canvas (a lesson's homework often sits there), which close the summary in a
    // section of their own without a frame text.
    const RevealOrder order(outline);
    std::vector<SummarySection> sections;
    std::optional<SummarySection> canvas;
    for (int step = 1; step <= order.lastStep(); ++step) {
        const ObjectId id = order.step(step).lead;
        const ObjectRef ref = outline.find(id);
        if (!ref.isValid())
            continue;
        if (ref.kind == ObjectKind::Frame) {
            const FrameObject& frame = outline.frame(ref.slot);
            sections.push_back({frame.minimalText, {}, frame.title});
            continue;
        }
        const SequencedObject object = sequencedObject(outline, id);
        if (!object.minimalText)
            continue;
        if (object.parentFrame >= 1 && object.parentFrame <= outline.count(ObjectKind::Frame) && !sections.empty())
            sections.back().objectTexts << *object.minimalText;
        else {
            if (!canvas)
                canvas.emplace();
            canvas->objectTexts << *object.minimalText;
        }
    }
    if (canvas)
        sections.push_back(std::move(*canvas));
    return sections;
}

QString buildSummary(const Outline& outline)
{
    QString text;
    for (const SummarySection& section : summarySections(outline)) {
        text += kSummaryBreak;
        text += section.frameText;
        text += kSummaryBreak;
        text += kSummaryBreak;
        for (const QString& object : section.objectTexts) {
            text += object;
            text += kSummaryBreak;
        }
    }
    return text;
}

}  // namespace velmar
