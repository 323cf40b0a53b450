#pragma once

#include "model/outline.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmar {

// The clipboard form of copied objects, under a MIME type of the program's own: a complete
// outline file (.vmd) holding just the copied objects at their canvas places, so that everything
// an outline keeps (texts beyond Windows-1251 and appearance in the extension block, each
// picture's JPEG stream as it was) crosses between outlines and between running programs.
inline constexpr char kObjectsMimeType[] = "application/x-velmar-objects";

QByteArray objectsToBytes(const Outline& copy);

// The objects of clipboard data; nothing (and *problem says why, in Russian) when the data is
// not an outline file that can be read.
std::optional<Outline> objectsFromBytes(const QByteArray& bytes, QString* problem);

}  // namespace velmar
