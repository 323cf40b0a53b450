#pragma once

#include "model/object_kinds.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace velmar {

// One description per object kind of what an outline file holds of it. The record writer and
// reader, the header-only undo, the --info listing and the comparison of snapshots are all driven
// by these tables: a field added here is saved, loaded, restored and listed everywhere.

enum class FieldType {
    Int,         // int32 within [low, high]
    Colour,      // 32-bit colour value
    Byte,        // one byte within [0, high]
    Flag,        // one byte, 0 or 1 (any other value reads as set)
    Name,        // ShortString[high]
    Text,        // SplitText
    Parent,      // int32 parent frame number, 0..the file's frame count
    Position,    // int32 place in the kind's sequence (0 = not in it); taken from the sequence
    TailLength,  // int32 S(k) of the picture tail; written from the tail, not from the object
    Listed,      // not in the file: only listed by --info
    Property,    // not in the record: kept in the extension block after the pictures when it
                 // differs from a new object's value; `offset` is its number there, a value
                 // within [0, high] (high 0: any 32-bit value, a colour)
    Unsaved,     // in no file: kept beside each history step only (`keep` copies it)
};

template <typename Object>
struct Field {
    using ObjectType = Object;
    FieldType type;
    int offset;        // inside the kind's record; -1 for a Listed field
    const char* key;   // name in the --info listing; nullptr: not listed
    const char* what;  // Russian name of the field in messages about damaged files, marked for translation
    int low = 0, high = 0;
    qint64 (*get)(const Object&) = nullptr;
    void (*set)(Object&, qint64) = nullptr;
    QString (*text)(const Object&) = nullptr;
    void (*setText)(Object&, const QString&) = nullptr;
    // Part of the layout the zoom scales: an outline kept in its own layout shows, after undo or
    // redo, the value the step showed rather than the snapshot's.
    bool layout = false;
    void (*keep)(Object& to, const Object& from) = nullptr;  // copies an Unsaved field
};

using SequenceOf = ReadingOrder;

template <typename Object>
struct KindFields {
    ObjectKind kind;
    const char* key;        // name of the kind's array in the --info listing
    const char* countWhat;  // Russian, the kind in the plural ("фреймы"); all three marked for translation
    const char* manyWhat;   // Russian, "so many of them" ("фреймов")
    const char* itemWhat;   // Russian, one object ("фрейм")
    qsizetype countOffset;  // of the count in the record
    qsizetype slotsOffset;  // of slot 1
    qsizetype slotSize;
    SequenceOf sequence;
    std::vector<Field<Object>> fields;
};

// The entry of a kind, by its object type; every kind has one (object_fields.cpp).
template <typename Object>
const KindFields<Object>& fieldsOf() = delete;
template <>
const KindFields<FrameObject>& fieldsOf<FrameObject>();
template <>
const KindFields<TextFieldObject>& fieldsOf<TextFieldObject>();
template <>
const KindFields<VideoObject>& fieldsOf<VideoObject>();
template <>
const KindFields<PictureObject>& fieldsOf<PictureObject>();
template <>
const KindFields<ArrowObject>& fieldsOf<ArrowObject>();
// Captions are in no file; their entry lists what the history keeps of them.
template <>
const KindFields<CaptionObject>& fieldsOf<CaptionObject>();

inline const KindFields<FrameObject>& frameFields() { return fieldsOf<FrameObject>(); }
inline const KindFields<TextFieldObject>& textFieldFields() { return fieldsOf<TextFieldObject>(); }
inline const KindFields<VideoObject>& videoFields() { return fieldsOf<VideoObject>(); }
inline const KindFields<PictureObject>& pictureFields() { return fieldsOf<PictureObject>(); }
inline const KindFields<ArrowObject>& arrowFields() { return fieldsOf<ArrowObject>(); }
inline const KindFields<CaptionObject>& captionFields() { return fieldsOf<CaptionObject>(); }

// Calls visit(kindFields) for every kind an outline file holds, in the order of the record.
template <typename Visit>
void forEachStoredKind(Visit&& visit)
{
    visit(frameFields());
    visit(textFieldFields());
    visit(videoFields());
    visit(pictureFields());
    visit(arrowFields());
}

// The sequence a kind's objects stand in, or nullptr for arrows.
template <typename Object>
const Sequence* sequenceFor(const KindFields<Object>& kind, const Outline& outline)
{
    switch (kind.sequence) {
    case SequenceOf::Frames: return &outline.frameSequence();
    case SequenceOf::Objects: return &outline.objectSequence();
    case SequenceOf::None: break;
    }
    return nullptr;
}
template <typename Object>
Sequence* sequenceFor(const KindFields<Object>& kind, Outline& outline)
{
    return const_cast<Sequence*>(sequenceFor(kind, std::as_const(outline)));
}

// Copies every stored field of `from` (a snapshot's object) into `to` (a live object of the same
// slot); identity, images and what the file does not hold stay.
template <typename Object>
void copyStoredFields(const KindFields<Object>& kind, Object& to, const Object& from)
{
    for (const Field<Object>& f : kind.fields) {
        if (f.set && f.get)
            f.set(to, f.get(from));
        if (f.setText && f.text)
            f.setText(to, f.text(from));
    }
}

// Puts each object at its stored place in a sequence (the later of two claims to one place wins),
// then closes the gaps: places that no object claimed are dropped, and an object whose place
// another one took joins the end instead of vanishing from the reading order. Objects stored with
// place 0, or a place beyond the sequence's capacity, stay out.
void placeInSequence(Sequence& sequence, const std::vector<std::pair<ObjectId, int>>& members);

// Copies, slot by slot, the details kept beside each history step (the Property fields, which the
// snapshots' extension block also holds, and the Unsaved ones such as the zoom's reference layout,
// which no file holds) from `from` into the objects of `to`, for the kinds whose counts agree.
// Everything else stays as it is in `to`.
// An outline kept in its own layout (Outline::ownLayoutScale) also gets the layout fields `from`
// showed, since its snapshots hold the unscaled layout.
void keepUnsavedDetails(Outline& to, const Outline& from);

}  // namespace velmar
