#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace velmar {

// JPEG through libjpeg-turbo. Encoding writes a baseline JFIF stream of the image at the given
// quality (the outline files use 100).
QByteArray encodeJpeg(const QImage& image, int quality = 100);

// Decodes one JPEG stream into an RGB32 image. Returns a null image and sets *error (a Russian
// description) when the stream is damaged or not a JPEG. scaleDenominator 1, 2, 4 or 8 decodes
// a smaller image directly (for thumbnails).
QImage decodeJpeg(const QByteArray& stream, QString* error = nullptr, int scaleDenominator = 1);

// decodeJpeg() without the reason for a failure: how a picture held as its stored stream is
// decoded again when it is drawn (a PictureDecoder, see PictureObject).
QImage decodeStoredJpeg(const QByteArray& stream, int scaleDenominator);

// Decodes at the smallest of libjpeg's reduced sizes (1/8, 1/4, 1/2 or full) that is still at
// least `wanted` in both directions: the inverse DCT does the shrinking, so a small picture of a
// large photo costs a fraction of a full decode. An empty `wanted` decodes at full size.
QImage decodeJpegAtLeast(const QByteArray& stream, QSize wanted, QString* error = nullptr);

// The width and height a stream's header declares, read without decoding anything (empty when
// the header cannot be read). The decoders check it again against their limits.
QSize jpegStreamSize(const QByteArray& stream);

// What decoding a stream costs, in pixels: the pixels its header declares once for every pass its
// scans make over the picture (a scan of one of three components counts a third). A baseline
// stream costs its pixels, a progressive one a few times that; 0 when the header cannot be read.
qint64 jpegDecodingCost(const QByteArray& stream);
// The same for a stream whose declared size jpegStreamSize() has already read.
qint64 jpegDecodingCost(const QByteArray& stream, QSize declared);

// Whether a stream of `length` bytes may hold a picture of the declared size (see JpegLimits):
// checked from the stream's first bytes before the rest is read.
bool jpegStreamLengthFits(QSize declared, qint64 length);

}  // namespace velmar
