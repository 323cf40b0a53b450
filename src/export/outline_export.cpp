#include "export/outline_export.h"

#include "canvas/canvas_widget.h"
#include "export/outline_renderer.h"
#include "export/pdf_photos.h"
#include "export/svg_text.h"
#include "storage/jpeg_codec.h"
#include "system/file_io.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QSvgGenerator>

#include <iterator>

namespace velmar {

QImage captureCanvas(CanvasWidget* canvas)
{
    const QRect area = WindowGeometry(canvas->size()).belowToolBar();
    if (area.isEmpty())
        return {};
    return canvas->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage renderOutline(const Document& document, QSize clientSize)
{
    return OutlineRenderer(document, clientSize).image();
}

namespace {

// The formats of the export dialog, in the order of its filter list (filter index 1 first), with
// the extension each writes.
struct ExportType {
    ExportFormat format;
    const char* filterName;
    const char* extension;
};
constexpr ExportType kExportTypes[] = {
    {ExportFormat::Jpeg, QT_TRANSLATE_NOOP("OutlineExport", "Рисунок JPEG"), "jpg"},
    {ExportFormat::Bmp, QT_TRANSLATE_NOOP("OutlineExport", "Рисунок BMP"), "bmp"},
    {ExportFormat::Pdf, QT_TRANSLATE_NOOP("OutlineExport", "Документ PDF"), "pdf"},
    {ExportFormat::Svg, QT_TRANSLATE_NOOP("OutlineExport", "Рисунок SVG"), "svg"},
    {ExportFormat::Png, QT_TRANSLATE_NOOP("OutlineExport", "Рисунок PNG"), "png"},
};
constexpr int kExportTypeCount = int(std::size(kExportTypes));

const ExportType& exportType(int filterIndex)
{
    return kExportTypes[filterIndex >= 1 && filterIndex <= kExportTypeCount ? filterIndex - 1 : 0];
}

}  // namespace

QString exportFilter()
{
    QStringList filters;
    for (const ExportType& type : kExportTypes)
        filters << QStringLiteral("%1 (*.%2)|*.%2")
                       .arg(QCoreApplication::translate("OutlineExport", type.filterName),
                            QLatin1String(type.extension));
    return filters.join(QLatin1Char('|'));
}

QString exportExtension(int filterIndex) { return QLatin1String(exportType(filterIndex).extension); }

int exportFilterIndexOf(const QString& path)
{
    const ExportFormat format = exportFormatOf(path);
    for (int i = 0; i < kExportTypeCount; ++i)
        if (kExportTypes[i].format == format)
            return i + 1;
    return 0;
}

QString exportFileName(const QString& chosen, int filterIndex)
{
    if (exportFilterIndexOf(chosen) != 0)
        return chosen;
    return chosen + QLatin1Char('.') + exportExtension(filterIndex);
}

ExportFormat exportFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpeg"))
        return ExportFormat::Jpeg;
    for (const ExportType& type : kExportTypes)
        if (suffix == QLatin1String(type.extension))
            return type.format;
    return ExportFormat::Unknown;
}

namespace {

// Screen pixels per inch: the drawn area's pixels keep their size on paper and in SVG viewers.
constexpr int kScreenDpi = 96;

QSizeF scaledArea(const OutlineRenderer& renderer, double scale) { return QSizeF(renderer.size()) * scale; }

}  // namespace

namespace {

// Draws the outline onto a PDF or SVG device at the given scale; false when the device cannot
// be painted on.
bool paintScaled(const OutlineRenderer& renderer, double scale, QPaintDevice* device)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    renderer.paint(painter);
    return painter.end();
}

}  // namespace

QByteArray outlinePdf(const OutlineRenderer& renderer, double scale)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Velmar"));
        writer.setTitle(renderer.document().state.outlineName);
        writer.setResolution(kScreenDpi);
        const QSizeF points = scaledArea(renderer, scale) * 72.0 / kScreenDpi;
        writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!paintScaled(renderer, scale, &writer))
            return {};
    }
    return bytes;
}

QByteArray outlinePdf(const Document& document, QSize clientSize, double scale)
{
    const PdfPhotos photos(document);
    OutlineRenderer renderer(photos.document(), clientSize);
    renderer.drawForAnyScale();
    const QByteArray pdf = outlinePdf(renderer, scale);
    return pdf.isEmpty() ? pdf : photos.embedStreams(pdf);
}

QByteArray outlineSvg(const OutlineRenderer& renderer, double scale)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // The generator writes the title as it is: finishSvg() gives it escaped.
    generator.setTitle(QString());
    generator.setResolution(kScreenDpi);
    const QSize size = scaledArea(renderer, scale).toSize();
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    if (!paintScaled(renderer, scale, &generator))
        return {};
    return finishSvg(bytes, renderer.document().state.outlineName);
}

QString exportOutline(const Document& document, QSize clientSize, double scale, const QString& path)
{
    const ExportFormat format = exportFormatOf(path);
    if (format == ExportFormat::Unknown)
        return QCoreApplication::translate(
                   "OutlineExport",
                   "Не удалось сохранить рисунок «%1»: выберите расширение .jpg, .bmp, .png, .pdf или .svg.")
            .arg(path);
    if (format == ExportFormat::Pdf) {
        const QByteArray bytes = outlinePdf(document, clientSize, scale);
        if (bytes.isEmpty())
            return QCoreApplication::translate("OutlineExport", "Не удалось построить рисунок для файла «%1».")
                .arg(path);
        return writeExportFile(bytes, path);
    }
    OutlineRenderer renderer(document, clientSize);
    // At scale 1 a picture file is the screen's pixels; everywhere else the screen's copies of
    // pictures and arrows would lose detail.
    if (isVectorFormat(format) || scale != 1.0)
        renderer.drawForAnyScale();
    if (format == ExportFormat::Svg) {
        const QByteArray bytes = outlineSvg(renderer, scale);
        if (bytes.isEmpty())
            return QCoreApplication::translate("OutlineExport", "Не удалось построить рисунок для файла «%1».")
                .arg(path);
        return writeExportFile(bytes, path);
    }
    return writePicture(renderer.image(scale), path);
}

QString writePicture(const QImage& image, const QString& path)
{
    const ExportFormat type = exportFormatOf(path);
    QByteArray bytes;
    if (type == ExportFormat::Jpeg) {
        bytes = encodeJpeg(image, 100);
    } else {
        const char* format = type == ExportFormat::Png ? "PNG" : type == ExportFormat::Bmp ? "BMP" : nullptr;
        if (!format)
            return QCoreApplication::translate(
                       "OutlineExport", "Не удалось сохранить рисунок «%1»: выберите расширение .jpg, .bmp или .png.")
                .arg(path);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, format))
            bytes.clear();
    }
    if (bytes.isEmpty())
        return QCoreApplication::translate("OutlineExport", "Не удалось построить рисунок для файла «%1».").arg(path);
    return writeExportFile(bytes, path);
}

QString writeExportFile(const QByteArray& bytes, const QString& path)
{
    // Atomic, and the reason for a failure in Russian (the system's own text is English).
    const FileWriteStatus written = replaceFile(path, {QByteArrayView(bytes)}, false);
    if (!written.ok)
        return QCoreApplication::translate("OutlineExport", "Не удалось записать рисунок в файл «%1»: %2.")
            .arg(path, written.error);
    return {};
}

}  // namespace velmar
