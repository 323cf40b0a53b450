// The extension block alone, applied to the base outline of the compact harness input as a
// loaded record leaves it. Whatever a block gets taken must come out again: the block written for
// the resulting outline, applied to the same record, drops nothing and gives the same outline.
#include "storage/object_fields.h"
#include "support/compact_outline.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Loaded {
    QString name;
    velmar::Outline outline;
};

const Loaded& recordOnly()
{
    static const Loaded loaded = [] {
        const velmar::HeaderReadResult read = velmar::readOutlineHeader(compact::base().record);
        return Loaded{read.header.outlineName, read.header.outline};
    }();
    return loaded;
}

bool sameTexts(const velmar::Outline& a, const velmar::Outline& b)
{
    bool same = true;
    velmar::forEachStoredKind([&](const auto& kind) {
        using Object = typename std::decay_t<decltype(kind.fields)>::value_type::ObjectType;
        for (int k = 1; k <= a.count(kind.kind); ++k)
            for (const auto& f : kind.fields) {
                const Object& x = a.objects<Object>()[std::size_t(k - 1)];
                const Object& y = b.objects<Object>()[std::size_t(k - 1)];
                if (f.text && f.text(x) != f.text(y))
                    same = false;
                if (f.type == velmar::FieldType::Property && f.get(x) != f.get(y))
                    same = false;
            }
    });
    return same;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Loaded taken = recordOnly();
    (void)velmar::applyExtensionBlock(bytes, taken.name, taken.outline);

    Loaded again = recordOnly();
    const QByteArray block = velmar::extensionBlockFor(taken.name, taken.outline);
    if (!velmar::applyExtensionBlock(block, again.name, again.outline).isEmpty())
        std::abort();
    if (again.name != taken.name || !sameTexts(again.outline, taken.outline))
        std::abort();
    return 0;
}
