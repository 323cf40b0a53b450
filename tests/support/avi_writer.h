#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Writes small AVI files for the video tests, so that no media file has to be shipped or fetched.
namespace velmar::avi {

enum class Codec {
    Uncompressed,  // 24-bit bottom-up DIB frames ("00db" chunks)
    Mjpeg,         // one baseline JPEG per frame ("MJPG", "00dc" chunks)
};

// Writes the frames (all of the first frame's size) as a one-stream AVI at fps frames per second,
// with an index. Returns false when the file cannot be written or there is nothing to write.
bool writeAvi(const QString& path, const QList<QImage>& frames, int fps, Codec codec);

// Frames of one plain colour each, width × height: a film whose pictures are easy to tell apart.
QList<QImage> colourFrames(const QList<QColor>& colours, int width, int height);

}  // namespace velmar::avi
