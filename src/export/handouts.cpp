#include "export/outline_print.h"
#include "export/outline_renderer.h"
#include "export/page_drawing.h"
#include "export/printed_forms.h"
#include "export/step_pictures.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

// Columns and rows of the steps on a page.
QSize handoutGrid(int stepsPerPage)
{
    switch (stepsPerPage) {
    case 1: return {1, 1};
    case 2: return {1, 2};
    case 6: return {2, 3};
    default: return {2, 2};
    }
}

QFont pointFont(double points, bool bold = false)
{
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The outline's name at the head of a page and the page number at its foot.
void drawPageFrame(QPainter& painter, const QRectF& page, double mm, const QString& name, int number, int count)
{
    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(pointFont(11, true));
    const QRectF head(page.left(), page.top(), page.width(), 8 * mm);
    painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(name, Qt::ElideRight, int(head.width())));
    painter.setFont(pointFont(9));
    const QRectF foot(page.left(), page.bottom() - 6 * mm, page.width(), 6 * mm);
    painter.drawText(foot, Qt::AlignCenter,
                     QCoreApplication::translate("OutlinePrint", "Страница %1 из %2").arg(number).arg(count));
    painter.restore();
}

// A step's minimal text under its number, made smaller until it fits its box, at worst cut short.
void drawStepText(QPainter& painter, const QRectF& box, int number, const QString& text)
{
    const QString shown =
        text.isEmpty() ? QStringLiteral("%1.").arg(number) : QStringLiteral("%1. %2").arg(number).arg(text);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    QFont font = pointFont(10);
    while (font.pointSizeF() > 6.5
           && QFontMetricsF(font, painter.device()).boundingRect(box, flags, shown).height() > box.height())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setClipRect(box);
    painter.drawText(box, flags, shown);
    painter.restore();
}

}  // namespace

QString printHandouts(QPagedPaintDevice& device, OutlineRenderer& renderer, int stepsPerPage)
{
    if (!isHandoutCount(stepsPerPage))
        stepsPerPage = 4;
    const QSize grid = handoutGrid(stepsPerPage);
    const QSize area = renderer.size();
    // A single step fills the page turned to suit it; several stand in a column or a grid.
    device.setPageOrientation(stepsPerPage == 1 ? fittingOrientation(area) : QPageLayout::Portrait);
    const RevealOrder order(renderer.document().outline);
    const std::vector<int> steps = pictureSteps(order);
    const int pages = int((steps.size() + std::size_t(stepsPerPage) - 1) / std::size_t(stepsPerPage));

    QPainter painter;
    if (!painter.begin(&device))
        return deviceRefused();
    const double mm = millimetre(device);
    const QRectF page = printableArea(device);
    const QRectF body = page.adjusted(0, 11 * mm, 0, -9 * mm);
    const double gap = 6 * mm;
    const QSizeF cell((body.width() - gap * (grid.width() - 1)) / grid.width(),
                      (body.height() - gap * (grid.height() - 1)) / grid.height());
    // The text's share of a cell: beneath the picture, a few lines of it.
    const double textHeight = std::min(cell.height() * 0.3, 40 * mm);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            device.newPage();
        drawPageFrame(painter, page, mm, renderer.document().state.outlineName, p + 1, pages);
        for (int i = 0; i < stepsPerPage; ++i) {
            const std::size_t index = std::size_t(p * stepsPerPage + i);
            if (index >= steps.size())
                break;
            const int step = steps[index];
            const QPointF at(body.left() + (i % grid.width()) * (cell.width() + gap),
                             body.top() + (i / grid.width()) * (cell.height() + gap));
            const QRectF pictureBox(at, QSizeF(cell.width(), cell.height() - textHeight - 2 * mm));
            const QTransform fit = fittingTransform(area, pictureBox);
            showStep(renderer, order, step);
            drawOutline(painter, renderer, fit);
            // The slide's edge, as the show's screen has one.
            const QRectF slide = fit.mapRect(QRectF(QPointF(0, 0), QSizeF(area)));
            painter.save();
            painter.setPen(QPen(Qt::gray, 0.3 * mm));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(slide);
            painter.restore();
            // The text starts under the slide's left edge, and is never narrower than half a cell.
            const double left = std::min(slide.left(), at.x() + cell.width() / 2);
            const QRectF textBox(left, pictureBox.bottom() + 2 * mm, at.x() + cell.width() - left, textHeight);
            drawStepText(painter, textBox, int(index) + 1, order.step(step).subtitle);
        }
    }
    showStep(renderer, order, order.lastStep());
    if (!painter.end())
        return deviceRefused();
    return {};
}

}  // namespace velmar
