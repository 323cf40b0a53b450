#include "paint/core/text_drawing.h"

#include <QFontMetrics>
#include <QPainter>

namespace velmar::paint {

QRect textLinesArea(const QImage& picture, QPoint topLeft, const QStringList& lines, const QFont& font)
{
    QRect touched;
    const QFontMetrics metrics(font, const_cast<QImage*>(&picture));
    const int lineHeight = metrics.height();
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).isEmpty())
            continue;
        const QRect cell(topLeft.x(), topLeft.y() + i * lineHeight, metrics.horizontalAdvance(lines.at(i)), lineHeight);
        // Overhangs of italic or tall glyphs, with room to spare: nothing is drawn beyond.
        touched |= cell.adjusted(-metrics.maxWidth(), -lineHeight, metrics.maxWidth(), lineHeight);
    }
    return touched.intersected(picture.rect());
}

QRect drawTextLines(QImage& picture, QPoint topLeft, const QStringList& lines, const QFont& font, QRgb colour,
                    QRgb background)
{
    QRect touched;
    if (lines.isEmpty() || picture.isNull())
        return touched;
    const QRect area = textLinesArea(picture, topLeft, lines, font);
    QPainter painter(&picture);
    painter.setClipRect(area);
    painter.setFont(font);
    const QFontMetrics metrics(font, &picture);
    const int lineHeight = metrics.height();
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.isEmpty())
            continue;
        // The cell behind the text takes the background colour, as an opaque text output does.
        const QRect cell(topLeft.x(), topLeft.y() + i * lineHeight, metrics.horizontalAdvance(line), lineHeight);
        painter.fillRect(cell, QColor::fromRgb(background));
        painter.setPen(QColor::fromRgb(colour));
        painter.drawText(cell.x(), cell.y() + metrics.ascent(), line);
        // Italic overhangs may reach a little past the advance.
        touched |= cell.adjusted(-2, 0, metrics.maxWidth(), 0);
    }
    return touched.intersected(picture.rect());
}

}  // namespace velmar::paint
