// The printing module: Qt's print support (the printer, the print dialog and the preview), used
// here and nowhere else. Built as a module of its own and loaded with the first print or preview
// (platform/print_support.cpp): mapping the library and binding its symbols would cost every
// start-up half a millisecond, for a command most sessions never use.
#include <QDialog>
#include <QList>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QString>
#include <QWidget>
#include <QtGlobal>

#include <functional>

extern "C" Q_DECL_EXPORT QPrinter* velmarNewPrinter() { return new QPrinter(QPrinter::HighResolution); }

extern "C" Q_DECL_EXPORT void velmarDeletePrinter(QPrinter* printer) { delete printer; }

// The printer as the paint device it is: the conversion needs print support's types.
extern "C" Q_DECL_EXPORT QPagedPaintDevice* velmarPrinterDevice(QPrinter* printer) { return printer; }

extern "C" Q_DECL_EXPORT int velmarPrinterResolution(const QPrinter* printer) { return printer->resolution(); }

extern "C" Q_DECL_EXPORT bool velmarPrinterFailed(const QPrinter* printer)
{
    return printer->printerState() == QPrinter::Error;
}

extern "C" Q_DECL_EXPORT void velmarSetPrinterDocName(QPrinter* printer, const QString* name)
{
    printer->setDocName(*name);
}

// The print dialog on `printer` with the option pages `tabs`, set up further by `prepare`; true
// when the user printed.
extern "C" Q_DECL_EXPORT bool velmarExecPrintDialog(QPrinter* printer, QWidget* parent, const QList<QWidget*>* tabs,
                                                    const std::function<void(QDialog&)>* prepare)
{
    QPrintDialog dialog(printer, parent);
    dialog.setOptionTabs(*tabs);
    (*prepare)(dialog);
    return dialog.exec() == QDialog::Accepted;
}

// The preview of `printer`'s pages, drawn by `paint`; `prepare` sets the dialog up and is given
// the function that draws the pages again.
extern "C" Q_DECL_EXPORT void
velmarExecPrintPreview(QPrinter* printer, QWidget* parent,
                       const std::function<void(QDialog&, const std::function<void()>&)>* prepare,
                       const std::function<void(QPrinter*)>* paint)
{
    QPrintPreviewDialog dialog(printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, *paint);
    (*prepare)(dialog, [&dialog] {
        if (auto* pages = dialog.findChild<QPrintPreviewWidget*>())
            pages->updatePreview();
    });
    dialog.exec();
}
