#include "paint/core/picture_transforms.h"

#include <QTransform>

#include <algorithm>
#include <cmath>

namespace velmar::paint {

QImage turned(const QImage& image, PictureTurn turn)
{
    switch (turn) {
    case PictureTurn::Right90: return image.transformed(QTransform().rotate(90));
    case PictureTurn::Left90: return image.transformed(QTransform().rotate(270));
    case PictureTurn::Half: return image.mirrored(true, true);
    case PictureTurn::FlipHorizontal: return image.mirrored(true, false);
    case PictureTurn::FlipVertical: return image.mirrored(false, true);
    }
    return image;
}

QSize resizedSize(QSize original, const ResizeRequest& request)
{
    const auto side = [](double v) { return int(std::clamp<double>(std::lrint(v), 1, kMaxPictureSide)); };
    double width = request.percent ? original.width() * request.width / 100.0 : request.width;
    double height = request.percent ? original.height() * request.height / 100.0 : request.height;
    if (request.keepAspect && original.width() > 0) {
        height = request.percent ? original.height() * request.width / 100.0
                                 : double(width) * original.height() / original.width();
    }
    return {side(width), side(height)};
}

QImage resampled(const QImage& image, QSize size)
{
    if (image.size() == size)
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace velmar::paint
