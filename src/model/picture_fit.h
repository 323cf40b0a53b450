#pragma once

#include <QSize>

namespace velmar {

// The largest size with the picture's aspect that fits in the box (at least 1 × 1): where a
// picture newly brought in is placed, it keeps its proportions.
QSize sizeKeepingAspect(QSize picture, QSize box);

}  // namespace velmar
