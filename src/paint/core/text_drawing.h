#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QStringList>

namespace velmar::paint {

// The pixels drawTextLines() may touch, generously (it draws nothing outside them).
QRect textLinesArea(const QImage& picture, QPoint topLeft, const QStringList& lines, const QFont& font);
// Writes the lines of a text box into the picture: line i at (topLeft.x, topLeft.y + i × the
// line's height), in `colour` over a background of `background`. Returns the pixels touched.
QRect drawTextLines(QImage& picture, QPoint topLeft, const QStringList& lines, const QFont& font, QRgb colour,
                    QRgb background);

}  // namespace velmar::paint
