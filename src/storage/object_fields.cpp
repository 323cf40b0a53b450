#include "storage/object_fields.h"

#include "model/arrow_attachment.h"
#include "storage/old_outline_file.h"
#include "storage/outline_file.h"

#include <algorithm>
#include <array>

namespace velmar {

using namespace layout;

namespace {

// Field makers: the accessors are plain functions, so each description is a static table.
template <typename O>
Field<O> integer(int offset, const char* key, const char* what, int low, int high, qint64 (*get)(const O&),
                 void (*set)(O&, qint64))
{
    return {FieldType::Int, offset, key, what, low, high, get, set};
}

template <typename O>
Field<O> colour(int offset, const char* key, const char* what, qint64 (*get)(const O&), void (*set)(O&, qint64))
{
    return {FieldType::Colour, offset, key, what, 0, 0, get, set};
}

template <typename O>
Field<O> byte(int offset, const char* key, const char* what, int high, qint64 (*get)(const O&), void (*set)(O&, qint64))
{
    return {FieldType::Byte, offset, key, what, 0, high, get, set};
}

template <typename O>
Field<O> name(int offset, const char* key, const char* what, int capacity, QString (*text)(const O&),
              void (*setText)(O&, const QString&))
{
    return {FieldType::Name, offset, key, what, 0, capacity, nullptr, nullptr, text, setText};
}

template <typename O>
Field<O> text(int offset, const char* key, const char* what, QString (*get)(const O&), void (*set)(O&, const QString&))
{
    return {FieldType::Text, offset, key, what, 0, 0, nullptr, nullptr, get, set};
}

template <typename O>
Field<O> property(int tag, const char* key, const char* what, int high, qint64 (*get)(const O&),
                  void (*set)(O&, qint64))
{
    return {FieldType::Property, tag, key, what, 0, high, get, set};
}

// A field of the layout the zoom scales.
template <typename O>
Field<O> laidOut(Field<O> field)
{
    field.layout = true;
    return field;
}

// A detail no file holds, kept beside each history step.
template <typename O>
Field<O> unsaved(void (*keep)(O&, const O&))
{
    Field<O> field{FieldType::Unsaved, -1, nullptr, ""};
    field.keep = keep;
    return field;
}

// The reference layout of an object with bounds: its bounds at 100 % zoom.
template <typename O>
Field<O> reference()
{
    return unsaved<O>([](O& to, const O& from) { to.reference = from.reference; });
}

// Numbers of the properties in the extension block; texts there are numbered by their offset in
// the record, which stays below these.
enum PropertyTag : int {
    TitleColourTag = 0x1001,
    PictureBorderTag = 0x1002,
    StretchedTag = 0x1003,
    ReadOnlyTag = 0x1004,
    PlayerVisibleTag = 0x1005,
    StartObjectTag = 0x1006,
    StartPlaceTag = 0x1007,
    EndObjectTag = 0x1008,
    EndPlaceTag = 0x1009,
};

// The largest object code of an attached arrow end: a text field (kind 4) in slot 100.
constexpr int kLastAttachedObjectCode = int(ObjectKind::TextField) * 256 + kMaxObjects;

template <typename O>
Field<O> position(int offset)
{
    return {FieldType::Position, offset, "sequencePosition",
            QT_TRANSLATE_NOOP("ObjectFields", "место в последовательности")};
}

template <typename O>
Field<O> parent(int offset)
{
    return {FieldType::Parent,
            offset,
            "parent",
            QT_TRANSLATE_NOOP("ObjectFields", "номер фрейма"),
            0,
            0,
            [](const O& o) -> qint64 { return o.parentFrame; },
            [](O& o, qint64 v) { o.parentFrame = quint8(v); }};
}

// Left, top, width and height of an object with `bounds`, from `offset` on.
template <typename O>
std::array<Field<O>, 4> bounds(int offset)
{
    return {{
        laidOut(integer<O>(
            offset, "left", QT_TRANSLATE_NOOP("ObjectFields", "левый край"), kMinCoordinate, kMaxCoordinate,
            [](const O& o) -> qint64 { return o.bounds.x(); }, [](O& o, qint64 v) { o.bounds.moveLeft(int(v)); })),
        laidOut(integer<O>(
            offset + 4, "top", QT_TRANSLATE_NOOP("ObjectFields", "верхний край"), kMinCoordinate, kMaxCoordinate,
            [](const O& o) -> qint64 { return o.bounds.y(); }, [](O& o, qint64 v) { o.bounds.moveTop(int(v)); })),
        laidOut(integer<O>(
            offset + 8, "width", QT_TRANSLATE_NOOP("ObjectFields", "ширина"), 0, kMaxCoordinate,
            [](const O& o) -> qint64 { return o.bounds.width(); }, [](O& o, qint64 v) { o.bounds.setWidth(int(v)); })),
        laidOut(integer<O>(
            offset + 12, "height", QT_TRANSLATE_NOOP("ObjectFields", "высота"), 0, kMaxCoordinate,
            [](const O& o) -> qint64 { return o.bounds.height(); },
            [](O& o, qint64 v) { o.bounds.setHeight(int(v)); })),
    }};
}

// The minimal text; objects show it as their tooltip (frames a shortened one).
template <typename O>
Field<O> minimalText(int offset)
{
    return text<O>(
        offset, "minimalText", QT_TRANSLATE_NOOP("ObjectFields", "минимальный текст"),
        [](const O& o) { return o.minimalText; },
        [](O& o, const QString& t) {
            o.minimalText = t;
            o.hint = KindTraits<O>::shortHint ? shortenedTooltip(t) : t;
        });
}

template <typename O>
std::vector<Field<O>> join(std::initializer_list<std::vector<Field<O>>> parts)
{
    std::vector<Field<O>> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

template <typename O, std::size_t N>
std::vector<Field<O>> list(const std::array<Field<O>, N>& fields)
{
    return {fields.begin(), fields.end()};
}

}  // namespace

template <>
const KindFields<FrameObject>& fieldsOf<FrameObject>()
{
    using O = FrameObject;
    static const KindFields<O> kind{
        ObjectKind::Frame,
        "frames",
        QT_TRANSLATE_NOOP("ObjectFields", "фреймы"),
        QT_TRANSLATE_NOOP("ObjectFields", "фреймов"),
        QT_TRANSLATE_NOOP("ObjectFields", "фрейм"),
        kFrameCount,
        kFrames,
        kFrameRecordSize,
        SequenceOf::Frames,
        join<O>(
            {list(bounds<O>(0)),
             {
                 colour<O>(
                     16, "colour", QT_TRANSLATE_NOOP("ObjectFields", "цвет"),
                     [](const O& o) -> qint64 { return o.colour; }, [](O& o, qint64 v) { o.colour = ColourValue(v); }),
                 byte<O>(
                     20, "innerBevel", QT_TRANSLATE_NOOP("ObjectFields", "внутренний скос"), BevelSpace,
                     [](const O& o) -> qint64 { return o.innerBevel; },
                     [](O& o, qint64 v) { o.innerBevel = quint8(v); }),
                 byte<O>(
                     21, "outerBevel", QT_TRANSLATE_NOOP("ObjectFields", "внешний скос"), BevelSpace,
                     [](const O& o) -> qint64 { return o.outerBevel; },
                     [](O& o, qint64 v) { o.outerBevel = quint8(v); }),
                 byte<O>(
                     22, "border", QT_TRANSLATE_NOOP("ObjectFields", "рамка"), 1,
                     [](const O& o) -> qint64 { return o.borderLine; },
                     [](O& o, qint64 v) { o.borderLine = quint8(v); }),
                 name<O>(
                     23, "title", QT_TRANSLATE_NOOP("ObjectFields", "название"), kNameCapacity,
                     [](const O& o) { return o.title; }, [](O& o, const QString& t) { o.title = t; }),
                 {FieldType::Flag, 274, "titleVisible", QT_TRANSLATE_NOOP("ObjectFields", "видимость названия"), 0, 1,
                  [](const O& o) -> qint64 { return o.titleVisible; }, [](O& o, qint64 v) { o.titleVisible = v != 0; }},
                 minimalText<O>(275),
                 position<O>(1300),
                 property<O>(
                     TitleColourTag, "titleColour", QT_TRANSLATE_NOOP("ObjectFields", "цвет названия"), 0,
                     [](const O& o) -> qint64 { return o.titleColour; },
                     [](O& o, qint64 v) { o.titleColour = ColourValue(v); }),
                 reference<O>(),
             }}),
    };
    return kind;
}

template <>
const KindFields<TextFieldObject>& fieldsOf<TextFieldObject>()
{
    using O = TextFieldObject;
    static const KindFields<O> kind{
        ObjectKind::TextField,
        "textFields",
        QT_TRANSLATE_NOOP("ObjectFields", "текстовые поля"),
        QT_TRANSLATE_NOOP("ObjectFields", "текстовых полей"),
        QT_TRANSLATE_NOOP("ObjectFields", "текстовое поле"),
        kTextFieldCount,
        kTextFields,
        kTextFieldRecordSize,
        SequenceOf::Objects,
        join<O>(
            {{parent<O>(0)},
             list(bounds<O>(4)),
             {
                 text<O>(
                     20, "text", QT_TRANSLATE_NOOP("ObjectFields", "текст"), [](const O& o) { return o.text; },
                     [](O& o, const QString& t) { o.text = t; }),
                 minimalText<O>(1044),
                 colour<O>(
                     2068, "background", QT_TRANSLATE_NOOP("ObjectFields", "цвет фона"),
                     [](const O& o) -> qint64 { return o.background; },
                     [](O& o, qint64 v) { o.background = ColourValue(v); }),
                 byte<O>(
                     2072, "alignment", QT_TRANSLATE_NOOP("ObjectFields", "выравнивание"), AlignCentre,
                     [](const O& o) -> qint64 { return o.alignment; }, [](O& o, qint64 v) { o.alignment = quint8(v); }),
                 name<O>(
                     2073, "fontName", QT_TRANSLATE_NOOP("ObjectFields", "шрифт"), kFontNameCapacity,
                     [](const O& o) { return o.font.name; }, [](O& o, const QString& t) { o.font.name = t; }),
                 laidOut(byte<O>(
                     2274, "fontSize", QT_TRANSLATE_NOOP("ObjectFields", "размер шрифта"), 255,
                     [](const O& o) -> qint64 { return o.font.size; }, [](O& o, qint64 v) { o.font.size = int(v); })),
                 colour<O>(
                     2276, "fontColour", QT_TRANSLATE_NOOP("ObjectFields", "цвет шрифта"),
                     [](const O& o) -> qint64 { return o.font.colour; },
                     [](O& o, qint64 v) { o.font.colour = ColourValue(v); }),
                 byte<O>(
                     2280, "fontPitch", QT_TRANSLATE_NOOP("ObjectFields", "шаг шрифта"), 2,
                     [](const O& o) -> qint64 { return o.font.pitch; },
                     [](O& o, qint64 v) { o.font.pitch = quint8(v); }),
                 byte<O>(
                     2281, "fontStyle", QT_TRANSLATE_NOOP("ObjectFields", "начертание шрифта"),
                     FontBold | FontItalic | FontUnderline | FontStrikeOut,
                     [](const O& o) -> qint64 { return o.font.style; },
                     [](O& o, qint64 v) { o.font.style = quint8(v); }),
                 position<O>(2284),
                 property<O>(
                     ReadOnlyTag, "readOnly", QT_TRANSLATE_NOOP("ObjectFields", "только чтение"), 1,
                     [](const O& o) -> qint64 { return o.readOnly; }, [](O& o, qint64 v) { o.readOnly = v != 0; }),
                 reference<O>(),
                 unsaved<O>([](O& to, const O& from) { to.referenceFontSize = from.referenceFontSize; }),
             }}),
    };
    return kind;
}

template <>
const KindFields<VideoObject>& fieldsOf<VideoObject>()
{
    using O = VideoObject;
    static const KindFields<O> kind{
        ObjectKind::Video,
        "videos",
        QT_TRANSLATE_NOOP("ObjectFields", "видео фрагменты"),
        QT_TRANSLATE_NOOP("ObjectFields", "видео фрагментов"),
        QT_TRANSLATE_NOOP("ObjectFields", "видео фрагмент"),
        kVideoCount,
        kVideos,
        kVideoRecordSize,
        SequenceOf::Objects,
        join<O>({{parent<O>(0)},
                 list(bounds<O>(4)),
                 {
                     name<O>(
                         20, "file", QT_TRANSLATE_NOOP("ObjectFields", "имя файла"), kNameCapacity,
                         [](const O& o) { return o.fileName; }, [](O& o, const QString& t) { o.fileName = t; }),
                     minimalText<O>(271),
                     position<O>(1296),
                     property<O>(
                         PlayerVisibleTag, "playerVisible", QT_TRANSLATE_NOOP("ObjectFields", "панель проигрывателя"),
                         1, [](const O& o) -> qint64 { return o.playerVisible; },
                         [](O& o, qint64 v) { o.playerVisible = v != 0; }),
                     reference<O>(),
                 }}),
    };
    return kind;
}

template <>
const KindFields<PictureObject>& fieldsOf<PictureObject>()
{
    using O = PictureObject;
    static const KindFields<O> kind{
        ObjectKind::Picture,
        "pictures",
        QT_TRANSLATE_NOOP("ObjectFields", "рисунки"),
        QT_TRANSLATE_NOOP("ObjectFields", "рисунков"),
        QT_TRANSLATE_NOOP("ObjectFields", "рисунок"),
        kPictureCount,
        kPictures,
        kPictureRecordSize,
        SequenceOf::Objects,
        join<O>(
            {{parent<O>(0)},
             list(bounds<O>(4)),
             {
                 minimalText<O>(24),
                 position<O>(1048),
                 {FieldType::TailLength, 1052, nullptr, QT_TRANSLATE_NOOP("ObjectFields", "длина данных рисунка")},
                 property<O>(
                     PictureBorderTag, "border", QT_TRANSLATE_NOOP("ObjectFields", "рамка"), 1,
                     [](const O& o) -> qint64 { return o.border; }, [](O& o, qint64 v) { o.border = quint8(v); }),
                 property<O>(
                     StretchedTag, "stretched", QT_TRANSLATE_NOOP("ObjectFields", "растягивание"), 1,
                     [](const O& o) -> qint64 { return o.stretched; }, [](O& o, qint64 v) { o.stretched = v != 0; }),
                 reference<O>(),
                 {FieldType::Listed, -1, "imageWidth", "", 0, 0,
                  [](const O& o) -> qint64 { return o.pixelSize().width(); }},
                 {FieldType::Listed, -1, "imageHeight", "", 0, 0,
                  [](const O& o) -> qint64 { return o.pixelSize().height(); }},
             }}),
    };
    return kind;
}

template <>
const KindFields<ArrowObject>& fieldsOf<ArrowObject>()
{
    using O = ArrowObject;
    static const KindFields<O> kind{
        ObjectKind::Arrow,
        "arrows",
        QT_TRANSLATE_NOOP("ObjectFields", "стрелки"),
        QT_TRANSLATE_NOOP("ObjectFields", "стрелок"),
        QT_TRANSLATE_NOOP("ObjectFields", "стрелка"),
        kArrowCount,
        kArrows,
        kArrowRecordSize,
        SequenceOf::None,
        {
            laidOut(integer<O>(
                0, "x1", QT_TRANSLATE_NOOP("ObjectFields", "x начала"), kMinCoordinate, kMaxCoordinate,
                [](const O& o) -> qint64 { return o.x1; }, [](O& o, qint64 v) { o.x1 = int(v); })),
            laidOut(integer<O>(
                4, "x2", QT_TRANSLATE_NOOP("ObjectFields", "x конца"), kMinCoordinate, kMaxCoordinate,
                [](const O& o) -> qint64 { return o.x2; }, [](O& o, qint64 v) { o.x2 = int(v); })),
            laidOut(integer<O>(
                8, "y1", QT_TRANSLATE_NOOP("ObjectFields", "y начала"), kMinCoordinate, kMaxCoordinate,
                [](const O& o) -> qint64 { return o.y1; }, [](O& o, qint64 v) { o.y1 = int(v); })),
            laidOut(integer<O>(
                12, "y2", QT_TRANSLATE_NOOP("ObjectFields", "y конца"), kMinCoordinate, kMaxCoordinate,
                [](const O& o) -> qint64 { return o.y2; }, [](O& o, qint64 v) { o.y2 = int(v); })),
            integer<O>(
                16, "width", QT_TRANSLATE_NOOP("ObjectFields", "толщина"), 1, 10,
                [](const O& o) -> qint64 { return o.penWidth; }, [](O& o, qint64 v) { o.penWidth = int(v); }),
            colour<O>(
                20, "colour", QT_TRANSLATE_NOOP("ObjectFields", "цвет"), [](const O& o) -> qint64 { return o.colour; },
                [](O& o, qint64 v) { o.colour = ColourValue(v); }),
            property<O>(
                StartObjectTag, "startAttachedTo", QT_TRANSLATE_NOOP("ObjectFields", "объект начала"),
                kLastAttachedObjectCode, [](const O& o) -> qint64 { return attachedObjectCode(o.startAttachment); },
                [](O& o, qint64 v) { setAttachedObjectCode(o.startAttachment, quint32(v)); }),
            property<O>(
                StartPlaceTag, "startAttachedAt", QT_TRANSLATE_NOOP("ObjectFields", "место начала на объекте"), 0,
                [](const O& o) -> qint64 { return attachedPlaceCode(o.startAttachment); },
                [](O& o, qint64 v) { setAttachedPlaceCode(o.startAttachment, quint32(v)); }),
            property<O>(
                EndObjectTag, "endAttachedTo", QT_TRANSLATE_NOOP("ObjectFields", "объект конца"),
                kLastAttachedObjectCode, [](const O& o) -> qint64 { return attachedObjectCode(o.endAttachment); },
                [](O& o, qint64 v) { setAttachedObjectCode(o.endAttachment, quint32(v)); }),
            property<O>(
                EndPlaceTag, "endAttachedAt", QT_TRANSLATE_NOOP("ObjectFields", "место конца на объекте"), 0,
                [](const O& o) -> qint64 { return attachedPlaceCode(o.endAttachment); },
                [](O& o, qint64 v) { setAttachedPlaceCode(o.endAttachment, quint32(v)); }),
            unsaved<O>([](O& to, const O& from) {
                to.referenceStart = from.referenceStart;
                to.referenceEnd = from.referenceEnd;
            }),
        },
    };
    return kind;
}

template <>
const KindFields<CaptionObject>& fieldsOf<CaptionObject>()
{
    using O = CaptionObject;
    static const KindFields<O> kind{
        ObjectKind::Caption, "captions", "", "", "", 0, 0, 0, SequenceOf::None, list(bounds<O>(0)),
    };
    return kind;
}

void placeInSequence(Sequence& sequence, const std::vector<std::pair<ObjectId, int>>& members)
{
    std::array<ObjectId, Sequence::kCapacity> entries{};
    for (const auto& [id, place] : members)
        if (place >= 1 && place <= Sequence::kCapacity)
            entries[std::size_t(place - 1)] = id;
    std::vector<ObjectId> order;
    for (ObjectId id : entries)
        if (id != 0)
            order.push_back(id);
    for (const auto& [id, place] : members)
        if (place >= 1 && place <= Sequence::kCapacity && std::find(order.begin(), order.end(), id) == order.end())
            order.push_back(id);
    sequence.clear();
    for (ObjectId id : order)
        sequence.append(id, true);
}

namespace {

template <typename Object>
void keepDetails(const KindFields<Object>& kind, Outline& to, const Outline& from)
{
    if (to.count(kind.kind) != from.count(kind.kind))
        return;
    const bool shown = from.ownLayoutScale() > 0;
    for (int k = 1; k <= to.count(kind.kind); ++k) {
        Object& t = to.object<Object>(k);
        const Object& f = from.objects<Object>()[std::size_t(k - 1)];
        for (const Field<Object>& field : kind.fields) {
            if (field.type == FieldType::Unsaved)
                field.keep(t, f);
            else if (field.type == FieldType::Property || (shown && field.layout))
                field.set(t, field.get(f));
        }
    }
}

}  // namespace

void keepUnsavedDetails(Outline& to, const Outline& from)
{
    to.setReferenceClientSize(from.referenceClientSize());
    to.setOwnLayoutScale(from.ownLayoutScale(), from.ownLayoutGridStep());
    // The snapshots hold an outline kept in its own layout unscaled; it is shown as it was at the
    // step, scaled into the window.
    forEachKind([&](auto tag) { keepDetails(fieldsOf<typename decltype(tag)::Object>(), to, from); });
}

}  // namespace velmar
