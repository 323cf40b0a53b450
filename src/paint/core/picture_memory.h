#pragma once

#include <QImage>
#include <QSize>

namespace velmar::paint {

// A 32-bit picture of `size` (rows of width × 4 bytes) in memory of its own, aligned for the
// widest vector stores; a large one is asked for in huge pages where the system offers them, as
// first touching tens of megabytes a small page at a time costs more than a pass over them.
QImage newPictureMemory(QSize size, QImage::Format format);

// A 32-bit picture of `size` in the memory of `spare` when that is large enough and shared with
// nobody (`spare` is then emptied), else in memory of its own. The memory goes back to the system
// with the last picture made in it, however often it is handed on.
QImage pictureInMemoryOf(QImage& spare, QSize size, QImage::Format format);

}  // namespace velmar::paint
