#include "view/outline_export.h"

#include "canvas/canvas_widget.h"
#include "view/outline_renderer.h"
#include "storage/jpeg_codec.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>

namespace velmar {

QImage captureCanvas(CanvasWidget* canvas)
{
    const QRect area(0, CanvasWidget::kToolBarHeight, canvas->width(),
                     std::max(0, canvas->height() - CanvasWidget::kToolBarHeight));
    if (area.isEmpty())
        return {};
    return canvas->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage renderOutline(const Document& document, QSize clientSize)
{
    return OutlineRenderer(document, clientSize).image();
}

QString exportFileName(const QString& chosen, int filterIndex)
{
    const QFileInfo info(chosen);
    QString base = chosen;
    if (!info.suffix().isEmpty())
        base.chop(info.suffix().size() + 1);
    return base + (filterIndex == 2 ? QStringLiteral(".bmp") : QStringLiteral(".jpg"));
}

QString writePicture(const QImage& image, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        bytes = encodeJpeg(image, 100);
    } else {
        const char* format = suffix == QLatin1String("png") ? "PNG" : suffix == QLatin1String("bmp") ? "BMP" : nullptr;
        if (!format)
            return QStringLiteral("Не удалось сохранить рисунок «%1»: выберите расширение .jpg, .bmp или .png.").arg(path);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, format))
            bytes.clear();
    }
    if (bytes.isEmpty())
        return QStringLiteral("Не удалось построить рисунок для файла «%1».").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("Не удалось записать рисунок в файл «%1»: %2.").arg(path, file.errorString());
    return {};
}

}  // namespace velmar
