#pragma once

#include <QIcon>

namespace velmar {

// The program's icon in the sizes title bars, task bars and window lists draw (16, 32, 48 and 64
// pixels; the large ones come from the desktop entry). Each size is read from its picture the
// first time something asks for it: a platform that draws no icon never decodes one.
QIcon programIcon();

}  // namespace velmar
