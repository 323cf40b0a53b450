#include "export/outline_print.h"
#include "export/outline_renderer.h"
#include "export/page_drawing.h"
#include "export/painter_relay.h"
#include "export/printed_forms.h"
#include "export/step_pictures.h"
#include "model/text_metrics.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

// A text left out: a white box of the text's place, ruled at its line spacing.
struct EmptyBox {
    QRectF box;          // area pixels
    double lineSpacing;  // area pixels
};

void drawRuledBox(QPainter& painter, const QRectF& box, double lineSpacing, double pen)
{
    painter.save();
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), pen));
    painter.drawRect(box);
    painter.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), pen));
    if (lineSpacing > 0)
        for (double y = box.top() + lineSpacing; y < box.bottom() - lineSpacing * 0.25; y += lineSpacing)
            painter.drawLine(QPointF(box.left() + pen * 2, y), QPointF(box.right() - pen * 2, y));
    painter.restore();
}

// A step's number in a circle, centred on `at`.
void drawNumber(QPainter& painter, const QPointF& at, int number, double mm)
{
    painter.save();
    QFont font;
    font.setPointSizeF(8);
    font.setBold(true);
    painter.setFont(font);
    const QRectF circle(at.x() - 2.6 * mm, at.y() - 2.6 * mm, 5.2 * mm, 5.2 * mm);
    painter.setPen(QPen(Qt::black, 0.25 * mm));
    painter.setBrush(QColor(0xFF, 0xF4, 0xC0));
    painter.drawEllipse(circle);
    painter.drawText(circle, Qt::AlignCenter, QString::number(number));
    painter.restore();
}

}  // namespace

QString printExerciseSheet(QPagedPaintDevice& device, OutlineRenderer& renderer)
{
    const QSize area = renderer.size();
    device.setPageOrientation(fittingOrientation(area));
    const Outline& outline = renderer.document().outline;
    const RevealOrder order(outline);

    // Texts and captions give way to ruled boxes; everything else is drawn as it is.
    std::vector<EmptyBox> boxes;
    const auto leaveOut = [&](ObjectId id, const FontSpec& font) {
        const QRect place = renderer.objectArea(id);
        QWidget* widget = renderer.objectWidget(id);
        if (!widget || place.isEmpty() || !widget->isVisibleTo(renderer.canvasWidget()))
            return;
        renderer.setObjectVisible(id, false);
        boxes.push_back({QRectF(place), QFontMetricsF(toQFont(font)).lineSpacing()});
    };
    for (const TextFieldObject& field : outline.objects<TextFieldObject>())
        leaveOut(field.id, field.font);
    for (const CaptionObject& caption : outline.objects<CaptionObject>())
        leaveOut(caption.id, caption.font);

    QPainter painter;
    if (!painter.begin(&device)) {
        showStep(renderer, order, order.lastStep());
        return deviceRefused();
    }
    const double mm = millimetre(device);
    const QRectF page = printableArea(device);
    QFont heading;
    heading.setPointSizeF(11);
    heading.setBold(true);
    painter.setFont(heading);
    painter.drawText(QRectF(page.left(), page.top(), page.width(), 8 * mm), Qt::AlignLeft | Qt::AlignVCenter,
                     renderer.document().state.outlineName);
    const QTransform fit = fittingTransform(area, page.adjusted(0, 10 * mm, 0, 0));
    drawOutline(painter, renderer, fit);
    const double hairline = 0.25 * mm / std::max(1e-9, fit.m11());
    painter.save();
    painter.setTransform(fit, true);
    for (const EmptyBox& box : boxes)
        drawRuledBox(painter, box.box, box.lineSpacing, hairline);
    // Arrows lie over everything, boxes included.
    for (const ArrowObject& arrow : outline.objects<ArrowObject>()) {
        PainterRelay relay(painter, area);
        QPainter relayed(&relay);
        renderer.paintObject(relayed, arrow.id);
    }
    painter.restore();

    // The steps that have a minimal text are numbered where their object lies, and given a box
    // of that text's size on the pages after the outline.
    std::vector<std::pair<int, QString>> texts;
    const std::vector<int> steps = pictureSteps(order);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const RevealStep& step = order.step(steps[i]);
        if (step.subtitle.isEmpty())
            continue;
        const int number = int(i) + 1;
        texts.emplace_back(number, step.subtitle);
        if (const QRect place = renderer.objectArea(step.lead); !place.isEmpty())
            // At the top right corner: titles and texts start at the left.
            drawNumber(painter, fit.map(QPointF(place.right() + 1, place.top())) + QPointF(-2.8 * mm, 2.8 * mm), number,
                       mm);
    }
    if (!texts.empty()) {
        QFont font;
        font.setPointSizeF(14);
        const QFontMetricsF metrics(font, &device);
        const double line = metrics.lineSpacing() * 1.3;
        const double label = 12 * mm;
        const QRectF column(page.left() + label, page.top(), page.width() - label, page.height());
        double y = page.bottom();  // a new page first
        for (const auto& [number, text] : texts) {
            const QRectF needed =
                metrics.boundingRect(QRectF(0, 0, column.width() - 4 * mm, 1e6), Qt::TextWordWrap, text);
            const int lines = std::max(1, int(std::ceil(needed.height() / metrics.lineSpacing() - 0.01)));
            const double height = std::min(lines * line, page.height() - 12 * mm);
            if (y + height > page.bottom()) {
                device.newPage();
                painter.setFont(heading);
                painter.setPen(Qt::black);
                painter.drawText(QRectF(page.left(), page.top(), page.width(), 8 * mm),
                                 Qt::AlignLeft | Qt::AlignVCenter, renderer.document().state.outlineName);
                y = page.top() + 12 * mm;
            }
            drawNumber(painter, QPointF(page.left() + 4 * mm, y + line / 2), number, mm);
            drawRuledBox(painter, QRectF(column.left(), y, column.width(), height), line, 0.25 * mm);
            y += height + 5 * mm;
        }
    }
    showStep(renderer, order, order.lastStep());
    if (!painter.end())
        return deviceRefused();
    return {};
}

}  // namespace velmar
