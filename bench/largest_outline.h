// The largest outline the benchmarks measure: 100 objects of each kind (100 frames, each holding a
// picture, a text field, a caption and a film without a file; 100 arrows on the canvas), of whose
// pictures 20 are photos of 1600 × 1200 with their JPEG streams and the rest 160 × 120.
#pragma once

#include "model/colour.h"
#include "model/outline.h"
#include "storage/jpeg_codec.h"
#include "support/photo_like_image.h"

#include <QRandomGenerator>
#include <QSize>
#include <QString>

#include <algorithm>

namespace velmar {

inline void buildLargestOutline(Outline& o, QSize client)
{
    QRandomGenerator random(11);
    for (int k = 0; k < 100; ++k) {
        const int f =
            o.createFrame(QRect(10 + (k % 10) * 74, 40 + (k / 10) * 50, 70, 48), QStringLiteral("Фрейм %1").arg(k + 1));
        o.frame(f).minimalText = QStringLiteral("Минимальный текст фрейма %1").arg(k + 1);
        const int p = o.createPicture(QRect(2, 14, 20, 15), f);
        // Every photo its own picture (its own stream in the file), as photos taken one by one are.
        if (k % 5 == 0) {
            // A photo as loaded from its file: the bitmap and the JPEG stream it came from.
            const QImage photo = photoLikeImage(1600, 1200, quint32(k + 1));
            o.picture(p).setBitmap(photo);
            o.picture(p).setJpegStream(encodeJpeg(photo, 90));
        } else
            o.picture(p).setBitmap(photoLikeImage(160, 120, quint32(k + 1)));
        o.createTextField(QRect(24, 14, 44, 16), kButtonFace, QStringLiteral("Текст %1\r\nстрока").arg(k + 1), f);
        o.createCaption(QRect(2, 32, 30, 14), QStringLiteral("Надпись %1").arg(k + 1), f);
        o.createVideo(QRect(36, 32, 30, 14), f);
    }
    for (int k = 0; k < 100; ++k) {
        const int x1 = random.bounded(client.width()), y1 = 40 + random.bounded(client.height() - 80);
        const int x2 = std::clamp(x1 + random.bounded(-300, 300), 0, client.width() - 1);
        const int y2 = std::clamp(y1 + random.bounded(-200, 200), 40, client.height() - 1);
        o.createArrow(x1, y1, x2, y2, 1 + k % 4, quint32(k * 0x020401));
    }
}

}  // namespace velmar
