#pragma once

#include <QImage>
#include <QString>

class QIODevice;

namespace velmar {

// A film's first picture as a still, for every drawing of an outline that does not play films:
// exported files, printed pages, thumbnails, the show before its players are ready.
//
// A still comes from one of two places. A player that opened the film hands over the first
// picture it decoded (rememberFilmStill), so drawings made in the same session show exactly what
// the panel showed. Otherwise the film is read here, without any media framework: AVI files of
// uncompressed frames (8-, 16-, 24- or 32-bit) and of Motion JPEG frames are decoded directly.
// Films in other codecs have no still outside a player: a null picture, drawn as the empty panel.

// The first video frame of an AVI file (read from the device's start, seeking past what is not
// needed), for the codecs named above; a null image for anything else (another codec, a damaged
// file, not an AVI).
QImage decodeAviFirstPicture(QIODevice& file);

// The still of the film at path: what a player of this session reported for the file as it is
// now, or else the file decoded once (and kept). Null when there is none.
QImage filmStill(const QString& path);

// A player's first picture of the film at path, kept for later drawings as long as the file is
// not changed.
void rememberFilmStill(const QString& path, const QImage& picture);

}  // namespace velmar
