#pragma once

#include "platform/dialogs.h"
#include "platform/print_support.h"

#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QSize>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

namespace velmar {

class CanvasHost;
class OutlineRenderer;

// The page orientation that shows the drawn area largest: landscape for a wide outline.
QPageLayout::Orientation fittingOrientation(QSize area);

// Prints the outline on the first page, fitted to the printable area with its aspect kept and
// centred, its pictures from their stored bitmaps; with withSummary, the summary (each frame's
// minimal text a heading, its objects' texts paragraphs) on the pages after it. Returns an empty
// string when the printer took the job, otherwise a Russian message.
QString printOutline(QPrinter& printer, const OutlineRenderer& renderer, bool withSummary);

// "Печать..." and "Предварительный просмотр": the print dialog and the preview on the outline as
// the canvas shows it. The printer's settings, what is printed (the outline, handouts, the
// exercise sheet or a poster) and the summary option are kept between prints; the preview shows
// what was chosen last. Printing never changes the outline.
class OutlinePrinting : public QObject {
public:
    OutlinePrinting(CanvasHost& host, QWidget* canvas, QObject* parent);
    ~OutlinePrinting() override;

    void print();
    void preview();

private:
    std::unique_ptr<OutlineRenderer> makeRenderer() const;
    // Sets the orientation that fits the outline now on the canvas.
    void fitOrientation(const OutlineRenderer& renderer);
    QPrinter& printer();

    CanvasHost& m_host;
    QPointer<QWidget> m_canvas;
    std::unique_ptr<QPrinter, PrinterDeleter> m_printer;
    Dialogs::PrintChoice m_choice;
};

}  // namespace velmar
