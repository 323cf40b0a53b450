#include "export/outline_renderer.h"
#include "export/page_drawing.h"
#include "export/printed_forms.h"

#include <QCoreApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace velmar {

PosterLayout posterLayout(QSizeF sheet, QSize area, int columns, int rows, double margin, double overlap)
{
    PosterLayout layout;
    layout.columns = std::max(1, columns);
    layout.rows = std::max(1, rows);
    layout.partSize = QSizeF(std::max(1.0, sheet.width() - 2 * margin), std::max(1.0, sheet.height() - 2 * margin));
    // Overlap takes at most half a part: a part always adds something of its own.
    layout.overlap = std::clamp(overlap, 0.0, std::min(layout.partSize.width(), layout.partSize.height()) / 2);
    const QSizeF poster(layout.columns * layout.partSize.width() - (layout.columns - 1) * layout.overlap,
                        layout.rows * layout.partSize.height() - (layout.rows - 1) * layout.overlap);
    if (area.isEmpty())
        return layout;
    layout.scale = std::min(poster.width() / area.width(), poster.height() / area.height());
    const QSizeF drawn = QSizeF(area) * layout.scale;
    layout.outline =
        QRectF(QPointF((poster.width() - drawn.width()) / 2, (poster.height() - drawn.height()) / 2), drawn);
    return layout;
}

namespace {

// Cut marks outside the corners of a sheet's part, and where a neighbour's edge is laid on the
// strip the two share.
void drawSheetMarks(QPainter& painter, const QRectF& part, const PosterLayout& layout, int column, int row,
                    double margin, double mm)
{
    painter.save();
    painter.setPen(QPen(Qt::black, 0.2 * mm));
    const double gap = 1.5 * mm, length = std::max(0.0, margin - 3 * mm);
    for (const QPointF corner : {part.topLeft(), part.topRight(), part.bottomLeft(), part.bottomRight()}) {
        const double sx = corner.x() == part.left() ? -1 : 1;
        const double sy = corner.y() == part.top() ? -1 : 1;
        painter.drawLine(QPointF(corner.x() + sx * gap, corner.y()),
                         QPointF(corner.x() + sx * (gap + length), corner.y()));
        painter.drawLine(QPointF(corner.x(), corner.y() + sy * gap),
                         QPointF(corner.x(), corner.y() + sy * (gap + length)));
    }
    QPen dashed(QColor(0x60, 0x60, 0x60), 0.2 * mm, Qt::DashLine);
    painter.setPen(dashed);
    if (column + 1 < layout.columns) {
        const double x = part.right() - layout.overlap;
        painter.drawLine(QPointF(x, part.top() - gap), QPointF(x, part.top() - gap - length));
        painter.drawLine(QPointF(x, part.bottom() + gap), QPointF(x, part.bottom() + gap + length));
    }
    if (row + 1 < layout.rows) {
        const double y = part.bottom() - layout.overlap;
        painter.drawLine(QPointF(part.left() - gap, y), QPointF(part.left() - gap - length, y));
        painter.drawLine(QPointF(part.right() + gap, y), QPointF(part.right() + gap + length, y));
    }
    QFont font;
    font.setPointSizeF(7);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF note(part.left() + margin, part.bottom() + gap, part.width() - 2 * margin, margin - gap);
    painter.drawText(note, Qt::AlignHCenter | Qt::AlignTop,
                     QCoreApplication::translate("OutlinePrint",
                                                 "Лист %1 из %2: столбец %3, ряд %4. Обрежьте по меткам; "
                                                 "край соседнего листа кладётся на пунктир.")
                         .arg(row * layout.columns + column + 1)
                         .arg(layout.columns * layout.rows)
                         .arg(column + 1)
                         .arg(row + 1));
    painter.restore();
}

}  // namespace

QString printPoster(QPagedPaintDevice& device, const OutlineRenderer& renderer, int columns, int rows)
{
    columns = std::clamp(columns, 1, kMaxPosterSheets);
    rows = std::clamp(rows, 1, kMaxPosterSheets);
    const QSize area = renderer.size();
    // The sheets turned the way that makes the poster largest.
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double largest = -1;
    for (const auto turned : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        device.setPageOrientation(turned);
        const double mm = millimetre(device);
        const double scale =
            posterLayout(printableArea(device).size(), area, columns, rows, kPosterMarginMm * mm, kPosterOverlapMm * mm)
                .scale;
        if (scale > largest * 1.0001) {
            largest = scale;
            orientation = turned;
        }
    }
    device.setPageOrientation(orientation);
    const double mm = millimetre(device);
    const double margin = kPosterMarginMm * mm;
    const QRectF sheet = printableArea(device);
    const PosterLayout layout = posterLayout(sheet.size(), area, columns, rows, margin, kPosterOverlapMm * mm);

    QPainter painter;
    if (!painter.begin(&device))
        return deviceRefused();
    const QRectF part(QPointF(margin, margin), layout.partSize);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            if (row > 0 || column > 0)
                device.newPage();
            const QRectF shown = layout.part(column, row);
            if (shown.intersects(layout.outline)) {
                // Poster coordinates moved so that this sheet's part lies in its place on the page.
                const QTransform transform = QTransform::fromScale(layout.scale, layout.scale)
                                             * QTransform::fromTranslate(layout.outline.left() - shown.left() + margin,
                                                                         layout.outline.top() - shown.top() + margin);
                painter.save();
                painter.setClipRect(part);
                drawOutline(painter, renderer, transform);
                painter.restore();
            }
            // The margins are paper, whatever reached into them.
            painter.save();
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            QRegion margins = QRegion(sheet.toAlignedRect()) - QRegion(part.toAlignedRect());
            for (const QRect& r : margins)
                painter.drawRect(r);
            painter.restore();
            drawSheetMarks(painter, part, layout, column, row, margin, mm);
        }
    if (!painter.end())
        return deviceRefused();
    return {};
}

}  // namespace velmar
