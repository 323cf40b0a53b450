#include "storage/object_clipboard.h"

#include "model/document.h"
#include "storage/outline_io.h"

#include <QCoreApplication>

namespace velmar {

QByteArray objectsToBytes(const Outline& copy)
{
    Document document;
    document.outline = copy;
    return serializeOutline(document, true);
}

std::optional<Outline> objectsFromBytes(const QByteArray& bytes, QString* problem)
{
    LoadResult loaded =
        readOutline(bytes, QCoreApplication::translate("ObjectClipboard", "буфер обмена"), defaultWindowChrome());
    if (!loaded.ok) {
        if (problem)
            *problem = loaded.message;
        return std::nullopt;
    }
    return std::move(loaded.outline);
}

}  // namespace velmar
