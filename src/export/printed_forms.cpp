#include "export/printed_forms.h"

#include "export/outline_renderer.h"
#include "export/pdf_photos.h"
#include "system/file_io.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageSize>
#include <QPdfWriter>

namespace velmar {

QString printForm(QPagedPaintDevice& device, OutlineRenderer& renderer, const PrintForm& form)
{
    switch (form.kind) {
    case PrintForm::Kind::Handouts: return printHandouts(device, renderer, form.stepsPerPage);
    case PrintForm::Kind::Exercise: return printExerciseSheet(device, renderer);
    case PrintForm::Kind::Poster: return printPoster(device, renderer, form.columns, form.rows);
    case PrintForm::Kind::Outline: break;
    }
    return {};
}

QString exportFormPdf(const Document& document, QSize clientSize, const PrintForm& form, const QString& path)
{
    // The photos go in as their stored streams.
    const PdfPhotos photos(document);
    OutlineRenderer renderer(photos.document(), clientSize);
    renderer.drawForAnyScale();
    QByteArray bytes;
    QString error;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Velmar"));
        writer.setTitle(document.state.outlineName);
        writer.setResolution(300);
        // A poster sheet keeps its own margin for the cut marks; the other forms have the margins
        // a printer would leave.
        const double margin = form.kind == PrintForm::Kind::Poster ? 0 : 10;
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter));
        error = printForm(writer, renderer, form);
    }
    if (error.isEmpty() && !bytes.isEmpty())
        bytes = photos.embedStreams(bytes);
    if (!error.isEmpty() || bytes.isEmpty())
        return QCoreApplication::translate("OutlineExport", "Не удалось построить документ для файла «%1».").arg(path);
    const FileWriteStatus written = replaceFile(path, {QByteArrayView(bytes)}, false);
    if (!written.ok)
        return QCoreApplication::translate("OutlineExport", "Не удалось записать документ в файл «%1»: %2.")
            .arg(path, written.error);
    return {};
}

}  // namespace velmar
