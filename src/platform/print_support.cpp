#include "platform/print_support.h"

#include "base/user_error.h"
#include "system/program_module.h"

#include <QCoreApplication>

namespace velmar {

namespace {

struct PrintModule {
    QPrinter* (*make)() = nullptr;
    void (*release)(QPrinter*) = nullptr;
    QPagedPaintDevice* (*device)(QPrinter*) = nullptr;
    int (*resolution)(const QPrinter*) = nullptr;
    bool (*failed)(const QPrinter*) = nullptr;
    void (*setDocName)(QPrinter*, const QString*) = nullptr;
    bool (*dialog)(QPrinter*, QWidget*, const QList<QWidget*>*, const std::function<void(QDialog&)>*) = nullptr;
    void (*preview)(QPrinter*, QWidget*, const std::function<void(QDialog&, const std::function<void()>&)>*,
                    const std::function<void(QPrinter*)>*) = nullptr;
    QString error;
};

const PrintModule& module()
{
    static const PrintModule loaded = [] {
        PrintModule m;
        const auto found = loadProgramModule(QStringLiteral("velmar_print.so"), "VELMAR_PRINT_MODULE",
                                             {"velmarNewPrinter", "velmarDeletePrinter", "velmarPrinterResolution",
                                              "velmarPrinterFailed", "velmarSetPrinterDocName", "velmarExecPrintDialog",
                                              "velmarExecPrintPreview", "velmarPrinterDevice"},
                                             &m.error);
        if (found.size() == 8) {
            m.make = reinterpret_cast<decltype(m.make)>(found[0]);
            m.release = reinterpret_cast<decltype(m.release)>(found[1]);
            m.resolution = reinterpret_cast<decltype(m.resolution)>(found[2]);
            m.failed = reinterpret_cast<decltype(m.failed)>(found[3]);
            m.setDocName = reinterpret_cast<decltype(m.setDocName)>(found[4]);
            m.dialog = reinterpret_cast<decltype(m.dialog)>(found[5]);
            m.preview = reinterpret_cast<decltype(m.preview)>(found[6]);
            m.device = reinterpret_cast<decltype(m.device)>(found[7]);
        } else if (m.error.isEmpty()) {
            m.error = QCoreApplication::translate("PrintSupport", "модуль печати не найден");
        } else {
            m.error = QCoreApplication::translate("PrintSupport", "модуль печати не загружается: %1").arg(m.error);
        }
        return m;
    }();
    return loaded;
}

}  // namespace

QPrinter* newPrinter()
{
    if (!module().make)
        throw UserError(QCoreApplication::translate("PrintSupport", "Печать недоступна: %1.").arg(module().error));
    return module().make();
}

void deletePrinter(QPrinter* printer)
{
    if (printer)
        module().release(printer);
}

QPagedPaintDevice& printerDevice(QPrinter& printer) { return *module().device(&printer); }

int printerResolution(const QPrinter& printer) { return module().resolution(&printer); }

bool printerFailed(const QPrinter& printer) { return module().failed(&printer); }

void setPrinterDocName(QPrinter& printer, const QString& name) { module().setDocName(&printer, &name); }

bool execPrintDialog(QPrinter& printer, QWidget* parent, const QList<QWidget*>& tabs,
                     const std::function<void(QDialog&)>& prepare)
{
    return module().dialog(&printer, parent, &tabs, &prepare);
}

void execPrintPreview(QPrinter& printer, QWidget* parent,
                      const std::function<void(QDialog&, const std::function<void()>& redraw)>& prepare,
                      const std::function<void(QPrinter*)>& paint)
{
    module().preview(&printer, parent, &prepare, &paint);
}

}  // namespace velmar
