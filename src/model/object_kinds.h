#pragma once

#include "model/outline.h"

#include <QRect>
#include <QtGlobal>

#include <optional>
#include <type_traits>
#include <utility>

namespace velmar {

// The reading order a kind's objects stand in.
enum class ReadingOrder { None, Frames, Objects };

// How the zoom keeps and scales a kind's layout (model/zoom.cpp).
enum class ZoomRule {
    BelowToolBar,  // bounds; the reference leaves out the tool bar's band (frames, video fragments)
    Plain,         // bounds, scaled as they are
    TextField,     // bounds three pixels wider than scaled, and the font size scaled with them
    EndPoints,     // the two end points of an arrow
};

// What the model knows of one kind of object, one entry per kind. Code that treats every kind
// loops over the entries (forEachKind) or reaches the entry of a kind known at run time
// (withKind, withObject) instead of switching on ObjectKind. The layers above add their own
// entries keyed by the kind (the fields an outline file holds in storage/object_fields.h, the
// widget in the canvas, the drawing in the exports).
template <typename Object>
struct KindTraits;

template <>
struct KindTraits<FrameObject> {
    static constexpr ObjectKind kind = ObjectKind::Frame;
    static constexpr ReadingOrder order = ReadingOrder::Frames;
    static constexpr bool livesInFrame = false;
    // Russian, "so many of them", in the message about a full table; marked for translation.
    static constexpr const char* manyWhat = QT_TRANSLATE_NOOP("Outline", "фреймов");
    // The tooltip shows the minimal text shortened (shortenedTooltip) rather than whole.
    static constexpr bool shortHint = true;
    static constexpr ZoomRule zoom = ZoomRule::BelowToolBar;
    // The grid snaps its bounds (when the zoom lays the outline out and on the arrow keys' nudge).
    static constexpr bool snapsToGrid = true;
};

template <>
struct KindTraits<PictureObject> {
    static constexpr ObjectKind kind = ObjectKind::Picture;
    static constexpr ReadingOrder order = ReadingOrder::Objects;
    static constexpr bool livesInFrame = true;
    static constexpr const char* manyWhat = QT_TRANSLATE_NOOP("Outline", "рисунков");
    static constexpr bool shortHint = false;
    static constexpr ZoomRule zoom = ZoomRule::Plain;
    static constexpr bool snapsToGrid = true;
};

template <>
struct KindTraits<CaptionObject> {
    static constexpr ObjectKind kind = ObjectKind::Caption;
    static constexpr ReadingOrder order = ReadingOrder::None;
    static constexpr bool livesInFrame = true;
    static constexpr const char* manyWhat = QT_TRANSLATE_NOOP("Outline", "надписей");
    static constexpr bool shortHint = false;
    static constexpr ZoomRule zoom = ZoomRule::Plain;
    static constexpr bool snapsToGrid = true;
};

template <>
struct KindTraits<VideoObject> {
    static constexpr ObjectKind kind = ObjectKind::Video;
    static constexpr ReadingOrder order = ReadingOrder::Objects;
    static constexpr bool livesInFrame = true;
    static constexpr const char* manyWhat = QT_TRANSLATE_NOOP("Outline", "видео фрагментов");
    static constexpr bool shortHint = false;
    static constexpr ZoomRule zoom = ZoomRule::BelowToolBar;
    static constexpr bool snapsToGrid = false;
};

template <>
struct KindTraits<TextFieldObject> {
    static constexpr ObjectKind kind = ObjectKind::TextField;
    static constexpr ReadingOrder order = ReadingOrder::Objects;
    static constexpr bool livesInFrame = true;
    static constexpr const char* manyWhat = QT_TRANSLATE_NOOP("Outline", "текстовых полей");
    static constexpr bool shortHint = false;
    static constexpr ZoomRule zoom = ZoomRule::TextField;
    static constexpr bool snapsToGrid = true;
};

template <>
struct KindTraits<ArrowObject> {
    static constexpr ObjectKind kind = ObjectKind::Arrow;
    static constexpr ReadingOrder order = ReadingOrder::None;
    static constexpr bool livesInFrame = false;
    static constexpr const char* manyWhat = QT_TRANSLATE_NOOP("Outline", "стрелок");
    static constexpr bool shortHint = false;
    static constexpr ZoomRule zoom = ZoomRule::EndPoints;
    static constexpr bool snapsToGrid = false;
};

// Facts that follow from an object's members.
template <typename Object>
concept HasBounds = requires(Object o)
{
    o.bounds;
};
template <typename Object>
concept HasMinimalText = requires(Object o)
{
    o.minimalText;
};
template <typename Object>
concept HasParentFrame = KindTraits<Object>::livesInFrame;

// One kind while looping: Object is its object type, Traits its entry.
template <typename O>
struct KindTag {
    using Object = O;
    using Traits = KindTraits<O>;
    static constexpr ObjectKind kind = Traits::kind;
};

template <typename... Objects>
struct KindList {
};
// Every kind, in the order of their codes.
using AllKinds = KindList<FrameObject, PictureObject, CaptionObject, VideoObject, TextFieldObject, ArrowObject>;

// Calls visit(KindTag<Object>{}) for every kind of a list, in its order.
template <typename... Objects, typename Visit>
void forEachKindIn(KindList<Objects...>, Visit&& visit)
{
    (visit(KindTag<Objects>{}), ...);
}
// ... for every kind, in the order of their codes.
template <typename Visit>
void forEachKind(Visit&& visit)
{
    forEachKindIn(AllKinds{}, visit);
}

// Calls visit(KindTag<Object>{}) for the entry of `kind` and returns its result (a value-made
// result for a code that names no kind).
template <typename Visit>
auto withKind(ObjectKind kind, Visit&& visit)
{
    using Result = decltype(visit(KindTag<FrameObject>{}));
    if constexpr (std::is_void_v<Result>) {
        forEachKind([&](auto tag) {
            if (decltype(tag)::kind == kind)
                visit(tag);
        });
    } else {
        Result result{};
        forEachKind([&](auto tag) {
            if (decltype(tag)::kind == kind)
                result = visit(tag);
        });
        return result;
    }
}

// Calls visit(object) with the object `ref` names, typed by its kind, and returns its result;
// a value-made result when ref names no object.
template <typename Visit>
auto withObject(const Outline& outline, ObjectRef ref, Visit&& visit)
{
    using Result = decltype(visit(std::declval<const FrameObject&>()));
    return withKind(ref.kind, [&](auto tag) -> Result {
        using Object = typename decltype(tag)::Object;
        if (!ref.isValid() || ref.slot > outline.count(tag.kind))
            return Result();
        return visit(outline.objects<Object>()[std::size_t(ref.slot - 1)]);
    });
}
template <typename Visit>
auto withObject(Outline& outline, ObjectRef ref, Visit&& visit)
{
    using Result = decltype(visit(std::declval<FrameObject&>()));
    return withKind(ref.kind, [&](auto tag) -> Result {
        using Object = typename decltype(tag)::Object;
        if (!ref.isValid() || ref.slot > outline.count(tag.kind))
            return Result();
        return visit(outline.object<Object>(ref.slot));
    });
}

// Whether the grid snaps the objects of a kind.
inline bool snapsToGrid(ObjectKind kind)
{
    return withKind(kind, [](auto tag) { return decltype(tag)::Traits::snapsToGrid; });
}

// Calls visit(tag, object, slot) for every object of every kind, the kinds in the order of their
// codes.
template <typename Visit>
void forEachObject(Outline& outline, Visit&& visit)
{
    forEachKind([&](auto tag) {
        using Object = typename decltype(tag)::Object;
        for (int k = 1; k <= outline.count(tag.kind); ++k)
            visit(tag, outline.object<Object>(k), k);
    });
}
template <typename Visit>
void forEachObject(const Outline& outline, Visit&& visit)
{
    forEachKind([&](auto tag) {
        using Object = typename decltype(tag)::Object;
        for (int k = 1; k <= outline.count(tag.kind); ++k)
            visit(tag, outline.objects<Object>()[std::size_t(k - 1)], k);
    });
}

// The tooltip of a frame for its minimal text: a text of up to 255 characters unchanged; a longer
// one cut after the last blank among its first 253 characters and ended with "...", or empty when
// there is no such blank.
QString shortenedTooltip(const QString& minimalText);

// The bounds of an object that has them (relative to its parent frame for objects in a frame);
// nothing for an arrow or an object that does not exist.
std::optional<QRect> boundsOf(const Outline& outline, ObjectId id);
// Its parent frame number; 0 for objects on the canvas, frames and arrows.
int parentFrameOf(const Outline& outline, ObjectId id);
// Its minimal text, or nullptr for kinds without one and for no object.
const QString* minimalTextOf(const Outline& outline, ObjectId id);
const QString* minimalTextOf(const Outline& outline, ObjectRef ref);
// Sets the minimal text and the tooltip that follows it (a frame shows it shortened); false for
// kinds without one and for no object.
bool setMinimalText(Outline& outline, ObjectRef ref, const QString& text);

}  // namespace velmar
