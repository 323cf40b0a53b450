#include "platform/pasted_picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>

namespace velmar {

PastedPicture takePastedPicture(const QMimeData* data, qint64 maxPixels)
{
    PastedPicture taken;
    if (!data || !data->hasImage())
        return taken;
    // Another program's picture arrives encoded (PNG when offered); its header says its size
    // before anything is decoded. Each form asked for is converted by the offering program, so
    // one is asked for.
    const QStringList formats = data->formats();
    QString encoded = formats.contains(QLatin1String("image/png")) ? QStringLiteral("image/png") : QString();
    for (const QString& format : formats)
        if (encoded.isEmpty() && format.startsWith(QLatin1String("image/")))
            encoded = format;
    if (!encoded.isEmpty()) {
        QByteArray bytes = data->data(encoded);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > maxPixels) {
            taken.claimedSize = size;
            return taken;
        }
        taken.image = reader.read();
        if (!taken.image.isNull())
            return taken;
    }
    // A picture of this program (or one Qt holds decoded).
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (qint64(image.width()) * image.height() > maxPixels)
        taken.claimedSize = image.size();
    else
        taken.image = image;
    return taken;
}

}  // namespace velmar
