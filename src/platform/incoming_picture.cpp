#include "platform/incoming_picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>

namespace velmar {

IncomingPicture takeIncomingPicture(const QMimeData* data, qint64 maxPixels)
{
    IncomingPicture taken;
    if (!data || !data->hasImage())
        return taken;
    // The encoded forms say their size in their first bytes; the largest claim counts.
    for (const QString& format : data->formats()) {
        if (!format.startsWith(QLatin1String("image/")))
            continue;
        QByteArray bytes = data->data(format);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QSize size = QImageReader(&buffer).size();
        if (size.isValid() && qint64(size.width()) * size.height() > maxPixels) {
            taken.claimedSize = size;
            return taken;
        }
    }
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (qint64(image.width()) * image.height() > maxPixels)
        taken.claimedSize = image.size();
    else
        taken.image = image;
    return taken;
}

}  // namespace velmar
