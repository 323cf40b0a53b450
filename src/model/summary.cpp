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
    return withObject(outline, outline.find(id), [](const auto& object) -> SequencedObject {
        if constexpr (KindTraits<std::decay_t<decltype(object)>>::order == ReadingOrder::Objects)
            return {object.parentFrame, &object.minimalText};
        else
            return {};
    });
}

}  // namespace

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
