// The outline the export benchmarks measure: 20 frames, each holding a photo of 1600 × 1200 as if
// loaded from a file (its bitmap and the JPEG stream it came from) and a minimal text.
#pragma once

#include "model/outline.h"
#include "storage/jpeg_codec.h"
#include "support/photo_like_image.h"

#include <QString>

namespace velmar {

inline void addTwentyPhotos(Outline& o)
{
    for (int k = 0; k < 20; ++k) {
        const int f = o.createFrame(QRect(10 + (k % 5) * 250, 40 + (k / 5) * 200, 240, 190),
                                    QStringLiteral("Фото %1").arg(k + 1));
        const int p = o.createPicture(QRect(10, 20, 220, 160), f);
        const QImage photo = photoLikeImage(1600, 1200, quint32(k + 1));
        o.picture(p).setBitmap(photo);
        o.picture(p).setJpegStream(encodeJpeg(photo, 90));
        o.picture(p).minimalText = QStringLiteral("Фото номер %1").arg(k + 1);
    }
}

}  // namespace velmar
