#include "paint/core/picture_files.h"

#include "storage/jpeg_codec.h"
#include "system/file_io.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace velmar::paint {

QString openPictureFilter()
{
    return QCoreApplication::translate(
        "PictureFiles", "Рисунок BMP (*.bmp)|*.bmp|Рисунок JPEG (*.jpg)|*.jpg|Рисунок JPEG (*.jpeg)|*.jpeg");
}

QString savePictureFilter()
{
    return QCoreApplication::translate("PictureFiles", "Рисунок BMP (*.bmp)|*.bmp|Рисунок JPEG (*.jpg)|*.jpg");
}

namespace {

// Picture files larger than this are not read: no picture the editor can hold is that big.
constexpr qint64 kMaxPictureFileBytes = 512LL * 1024 * 1024;

// Reads a picture file whole: a regular file only (a link to a device or a FIFO is refused
// without reading from it), and never more than the limit whatever size it reports.
bool readWhole(const QString& path, QByteArray* data, QString* error)
{
    QString problem;
    std::optional<QByteArray> bytes = readRegularFile(path, kMaxPictureFileBytes, &problem);
    if (!bytes) {
        if (error) {
            // The reader's own wording, in the interface language, tells which failure it was.
            const QString tooLarge = QCoreApplication::translate("FileIo", "файл слишком велик (больше %1 байт)")
                                         .section(QStringLiteral("%1"), 0, 0);
            *error = problem.startsWith(tooLarge) ? QCoreApplication::translate("PictureFiles", "файл слишком велик")
                     : problem == QCoreApplication::translate("FileIo", "файл не найден")
                         ? problem
                         : QCoreApplication::translate("PictureFiles", "файл не открывается для чтения");
        }
        return false;
    }
    *data = std::move(*bytes);
    return true;
}

QImage readByFormat(const QString& path, int atLeast, QString* error)
{
    QByteArray bytes;
    if (!readWhole(path, &bytes, error))
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (atLeast > 0 && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize full = reader.size();
        const int shorter = std::min(full.width(), full.height());
        if (shorter > atLeast)
            reader.setScaledSize(full * atLeast / shorter);
    }
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = QCoreApplication::translate("PictureFiles", "файл не является рисунком или повреждён");
    return image;
}

}  // namespace

QString PictureFileDialogState::folder(const QString& fallback) const
{
    return fileName.isEmpty() ? fallback : QFileInfo(fileName).absolutePath();
}

PictureDecoder decoderForOpenFilter(int filterIndex, const QString& path)
{
    if (filterIndex == 2 || filterIndex == 3)
        return PictureDecoder::Jpeg;
    // The bitmap filter reads by the extension, as the desktop's picture loader would.
    const PictureDecoder byName = decoderForFile(path);
    return byName == PictureDecoder::Jpeg ? PictureDecoder::Jpeg : PictureDecoder::Bitmap;
}

QImage readPictureFile(const QString& path, PictureDecoder decoder, QString* error)
{
    return readPictureReduced(path, decoder, 0, error);
}

QImage readPictureReduced(const QString& path, PictureDecoder decoder, int atLeast, QString* error)
{
    if (decoder != PictureDecoder::Jpeg)
        return readByFormat(path, atLeast, error);
    QByteArray stream;
    if (!readWhole(path, &stream, error))
        return {};
    return decodeJpegAtLeast(stream, atLeast > 0 ? QSize(atLeast, atLeast) : QSize(), error);
}

QString replaceExtension(const QString& path, const QString& extension)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A leading dot names a hidden file; it does not start an extension.
    if (dot > slash + 1)
        return path.left(dot) + extension;
    return path + extension;
}

QString savedPictureName(const QString& chosenPath, int filterIndex)
{
    return replaceExtension(chosenPath, filterIndex == 2 ? QStringLiteral(".jpg") : QStringLiteral(".bmp"));
}

QString writePictureFile(const QImage& picture, const QString& chosenPath, int filterIndex, QString* error)
{
    const bool jpeg = filterIndex == 2;
    const QString path = savedPictureName(chosenPath, filterIndex);
    QByteArray data;
    if (jpeg) {
        data = encodeJpeg(picture, 100);
    } else {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
            data.clear();
    }
    if (data.isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("PictureFiles", "рисунок не удалось закодировать");
        return {};
    }
    const FileWriteStatus status = replaceFile(path, {QByteArrayView(data)}, true);
    if (!status.ok) {
        if (error)
            *error = status.error;
        return {};
    }
    return path;
}

}  // namespace velmar::paint
