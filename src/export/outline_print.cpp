#include "export/outline_print.h"

#include "base/user_error.h"
#include "canvas/canvas_host.h"
#include "export/outline_export.h"
#include "export/outline_renderer.h"
#include "export/painter_relay.h"
#include "export/printed_forms.h"
#include "model/summary_formats.h"
#include "platform/dialogs.h"
#include "platform/print_support.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <QWidget>

#include <cmath>

namespace velmar {

namespace {

// Translated when asked for: a constant would be made before the interface language is chosen.
QString printFailed() { return QCoreApplication::translate("OutlinePrint", "Не удалось напечатать конспект: %1."); }

// The summary laid out in pages of the printer's printable area, each page drawn after a new one.
void printSummaryPages(QPrinter& printer, QPainter& painter, const OutlineRenderer& renderer)
{
    QPagedPaintDevice& device = printerDevice(printer);
    const Document& doc = renderer.document();
    QTextDocument text;
    text.documentLayout()->setPaintDevice(&device);
    QFont font = text.defaultFont();
    font.setPointSize(12);
    text.setDefaultFont(font);
    text.setHtml(summaryHtml(doc.outline, doc.state.outlineName));
    const QRectF page = device.pageLayout().paintRectPixels(printerResolution(printer)).toRectF();
    text.setPageSize(page.size());
    const int pages = text.pageCount();
    for (int i = 0; i < pages; ++i) {
        device.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        text.drawContents(&painter, QRectF(0, i * page.height(), page.width(), page.height()));
        painter.restore();
    }
}

}  // namespace

QPageLayout::Orientation fittingOrientation(QSize area)
{
    return area.width() > area.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QString printOutline(QPrinter& printer, const OutlineRenderer& renderer, bool withSummary)
{
    const QSize area = renderer.size();
    if (area.isEmpty())
        return printFailed().arg(QCoreApplication::translate("OutlinePrint", "на холсте нет места для конспекта"));
    QPagedPaintDevice& device = printerDevice(printer);
    QPainter painter;
    if (!painter.begin(&device))
        return printFailed().arg(
            QCoreApplication::translate("OutlinePrint", "принтер недоступен или файл не удаётся записать"));
    // The painter's origin is the printable area's top-left corner.
    const QRectF page = device.pageLayout().paintRectPixels(printerResolution(printer)).toRectF();
    const double scale = std::min(page.width() / area.width(), page.height() / area.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.save();
    painter.translate((page.width() - area.width() * scale) / 2, (page.height() - area.height() * scale) / 2);
    painter.scale(scale, scale);
    // Widgets rendered straight onto a printer arrive as one bitmap (Qt draws them into a pixmap
    // for printers); passed on through a relay they print as vectors and text. Pictures reach the
    // printer as they are: a recording would compress every one of them first. The relay's pixels
    // are the canvas's own, so the fitting scale above is all that maps them on to the page.
    {
        PainterRelay relay(painter, area);
        QPainter relayed(&relay);
        renderer.paint(relayed);
    }
    painter.restore();
    if (withSummary && !(renderer.document().outline.frameSequence().length() == 0))
        printSummaryPages(printer, painter, renderer);
    if (!painter.end() || printerFailed(printer))
        return printFailed().arg(QCoreApplication::translate("OutlinePrint", "принтер сообщил об ошибке"));
    return {};
}

OutlinePrinting::OutlinePrinting(CanvasHost& host, QWidget* canvas, QObject* parent)
    : QObject(parent), m_host(host), m_canvas(canvas)
{
}

QPrinter& OutlinePrinting::printer()
{
    // Made on first use: a printer loads the system's print plugin (CUPS and the libraries it
    // needs), which showing the window has no use for. Kept afterwards, with the user's choices.
    if (!m_printer)
        m_printer.reset(newPrinter());
    return *m_printer;
}

OutlinePrinting::~OutlinePrinting() = default;

std::unique_ptr<OutlineRenderer> OutlinePrinting::makeRenderer() const
{
    // The page shows the whole canvas, as the show does: objects under the tool bar are printed
    // on the canvas colour like the rest.
    auto renderer = std::make_unique<OutlineRenderer>(m_host.document(), m_canvas ? m_canvas->size() : QSize(),
                                                      OutlineRenderer::Area::WholeCanvas);
    renderer->drawForAnyScale();
    return renderer;
}

void OutlinePrinting::fitOrientation(const OutlineRenderer& renderer)
{
    printerDevice(printer()).setPageOrientation(fittingOrientation(renderer.size()));
    setPrinterDocName(printer(), m_host.document().state.outlineName);
}

void OutlinePrinting::print()
{
    const std::unique_ptr<OutlineRenderer> renderer = makeRenderer();
    fitOrientation(*renderer);
    const auto choice = dialogs().choosePrinter(m_host.dialogParent(), printer(), m_choice);
    if (!choice)
        return;
    m_choice = *choice;
    const QString error = m_choice.form.kind == PrintForm::Kind::Outline
                              ? printOutline(printer(), *renderer, m_choice.withSummary)
                              : printForm(printerDevice(printer()), *renderer, m_choice.form);
    if (!error.isEmpty())
        throw UserError(error);
}

void OutlinePrinting::preview()
{
    const std::unique_ptr<OutlineRenderer> renderer = makeRenderer();
    fitOrientation(*renderer);
    QWidget* parent = m_host.dialogParent();
    // Pages are drawn inside the dialog's own event handling: a failure is shown there and then.
    const PrintForm form = m_choice.form;
    m_choice.withSummary =
        dialogs().previewPrint(parent, printer(), m_choice.withSummary, [&](QPrinter& printer, bool withSummary) {
            const QString error = form.kind == PrintForm::Kind::Outline
                                      ? printOutline(printer, *renderer, withSummary)
                                      : printForm(printerDevice(printer), *renderer, form);
            if (!error.isEmpty())
                dialogs().inform(parent, QCoreApplication::translate("OutlinePrint", "Ошибка"), error,
                                 QMessageBox::Critical);
        });
}

}  // namespace velmar
