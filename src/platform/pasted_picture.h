#pragma once

#include <QImage>
#include <QSize>

class QMimeData;

namespace velmar {

// A picture offered by another program, on the clipboard or in a drop.
struct PastedPicture {
    QImage image;       // null when none was taken
    QSize claimedSize;  // what the data's header says, when the picture was too large to take
};

// Takes the picture of `data` unless its header claims more than `maxPixels`: such a picture is
// refused before it is decoded, with the size it claims (Qt would drop it without a word). A null
// image with an invalid claimedSize: the data could not be read as a picture.
PastedPicture takePastedPicture(const QMimeData* data, qint64 maxPixels);

}  // namespace velmar
