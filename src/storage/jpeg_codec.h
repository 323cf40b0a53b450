#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace velmar {

// JPEG through libjpeg-turbo. Encoding writes a baseline JFIF stream of the image at the given
// quality (the outline files use 100).
QByteArray encodeJpeg(const QImage& image, int quality = 100);

// Decodes one JPEG stream into an RGB32 image. Returns a null image and sets *error (a Russian
// description) when the stream is damaged or not a JPEG. scaleDenominator 1, 2, 4 or 8 decodes
// a smaller image directly (for thumbnails).
QImage decodeJpeg(const QByteArray& stream, QString* error = nullptr, int scaleDenominator = 1);

// The picture size a JPEG stream's header declares, read without decoding; an empty size when the
// header is damaged.
QSize jpegImageSize(const QByteArray& stream);

}  // namespace velmar
