#pragma once

#include <QList>
#include <QString>

#include <functional>

class QDialog;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace velmar {

// Qt's print support lives in a module of the program (platform/print/print_support_module.cpp),
// loaded with the first printer made: the start-up maps none of it. These functions reach it;
// newPrinter throws a UserError when the module cannot be loaded, and the others are only called
// on a printer it made.

QPrinter* newPrinter();  // a high-resolution printer
void deletePrinter(QPrinter* printer);
struct PrinterDeleter {
    void operator()(QPrinter* printer) const { deletePrinter(printer); }
};

// The printer as the paint device it is, for drawing and page set-up. Code outside the module
// knows QPrinter only by name, so it never converts one itself.
QPagedPaintDevice& printerDevice(QPrinter& printer);
int printerResolution(const QPrinter& printer);
// True when the printer reported an error for the job just ended.
bool printerFailed(const QPrinter& printer);
void setPrinterDocName(QPrinter& printer, const QString& name);

// The system's print dialog on `printer`, with the option pages `tabs` and set up further by
// `prepare`; true when the user printed.
bool execPrintDialog(QPrinter& printer, QWidget* parent, const QList<QWidget*>& tabs,
                     const std::function<void(QDialog&)>& prepare);
// The preview of the pages `paint` draws on the printer it is given; `prepare` sets the dialog up
// and gets the function that draws the pages again.
void execPrintPreview(QPrinter& printer, QWidget* parent,
                      const std::function<void(QDialog&, const std::function<void()>& redraw)>& prepare,
                      const std::function<void(QPrinter*)>& paint);

}  // namespace velmar
