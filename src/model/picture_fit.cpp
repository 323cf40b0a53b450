#include "model/picture_fit.h"

#include <algorithm>
#include <cmath>

namespace velmar {

QSize sizeKeepingAspect(QSize picture, QSize box)
{
    if (picture.isEmpty() || box.isEmpty())
        return box;
    const double scale = std::min(double(box.width()) / picture.width(), double(box.height()) / picture.height());
    return QSize(std::clamp(int(std::lrint(picture.width() * scale)), 1, box.width()),
                 std::clamp(int(std::lrint(picture.height() * scale)), 1, box.height()));
}

}  // namespace velmar
