#include "model/object_kinds.h"

namespace velmar {

QString shortenedTooltip(const QString& minimalText)
{
    if (minimalText.size() <= 255)
        return minimalText;
    for (int p = 253; p >= 1; --p)
        if (minimalText.at(p - 1) == QLatin1Char(' '))
            return minimalText.left(p) + QStringLiteral("...");
    return QString();
}

std::optional<QRect> boundsOf(const Outline& outline, ObjectId id)
{
    return withObject(outline, outline.find(id), [](const auto& object) -> std::optional<QRect> {
        if constexpr (HasBounds<std::decay_t<decltype(object)>>)
            return object.bounds;
        else
            return std::nullopt;
    });
}

int parentFrameOf(const Outline& outline, ObjectId id)
{
    return withObject(outline, outline.find(id), [](const auto& object) -> int {
        if constexpr (HasParentFrame<std::decay_t<decltype(object)>>)
            return object.parentFrame;
        else
            return 0;
    });
}

const QString* minimalTextOf(const Outline& outline, ObjectId id) { return minimalTextOf(outline, outline.find(id)); }

const QString* minimalTextOf(const Outline& outline, ObjectRef ref)
{
    return withObject(outline, ref, [](const auto& object) -> const QString* {
        if constexpr (HasMinimalText<std::decay_t<decltype(object)>>)
            return &object.minimalText;
        else
            return nullptr;
    });
}

bool setMinimalText(Outline& outline, ObjectRef ref, const QString& text)
{
    return withObject(outline, ref, [&](auto& object) -> bool {
        using Object = std::decay_t<decltype(object)>;
        if constexpr (HasMinimalText<Object>) {
            object.minimalText = text;
            object.hint = KindTraits<Object>::shortHint ? shortenedTooltip(text) : text;
            return true;
        } else {
            return false;
        }
    });
}

}  // namespace velmar
