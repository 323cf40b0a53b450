#include "model/summary.h"

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
    default:
        return {};
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
    const Sequence& frames = outline.frameSequence();
    const Sequence& objects = outline.objectSequence();
    // The objects in reading order, looked up once rather than once per frame.
    std::vector<SequencedObject> ordered;
    ordered.reserve(std::size_t(objects.length()));
    for (int i = 1; i <= objects.length(); ++i)
        if (const SequencedObject object = sequencedObject(outline, objects.entry(i)); object.minimalText)
            ordered.push_back(object);

    std::vector<SummarySection> sections;
    for (int j = 1; j <= frames.length(); ++j) {
        const int k = outline.findSlot(ObjectKind::Frame, frames.entry(j));
        if (k == 0)
            continue;
        SummarySection section{outline.frame(k).minimalText, {}, outline.frame(k).title};
        for (const SequencedObject& object : ordered)
            if (object.parentFrame == k)
                section.objectTexts << *object.minimalText;
        sections.push_back(std::move(section));
    }
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
