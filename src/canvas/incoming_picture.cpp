#include "canvas/incoming_picture.h"

#include "storage/jpeg_codec.h"
#include "system/file_io.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QPainter>

namespace velmar {

namespace {

// A file larger than this is not read: no picture an outline can hold is that big.
constexpr qint64 kMaxPictureFileBytes = 512LL * 1024 * 1024;

bool tooManyPixels(QSize size) { return size.isValid() && qint64(size.width()) * size.height() > kMaxIncomingPixels; }

}  // namespace

QString tooLargePictureMessage(QSize size, const QString& shownName)
{
    if (shownName.isEmpty())
        return QCoreApplication::translate(
                   "MainWindow", "Рисунок слишком велик (%1 × %2 точек): конспект принимает рисунки до %3 миллионов "
                                 "точек.")
            .arg(size.width())
            .arg(size.height())
            .arg(kMaxIncomingPixels / 1'000'000);
    return QCoreApplication::translate("MainWindow",
                                       "Рисунок «%1» слишком велик (%2 × %3 точек): конспект принимает рисунки до %4 "
                                       "миллионов точек.")
        .arg(shownName)
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxIncomingPixels / 1'000'000);
}

IncomingPicture takeIncomingPicture(QImage image, const QString& shownName)
{
    IncomingPicture in;
    if (image.isNull())
        return in;
    if (tooManyPixels(image.size())) {
        in.error = tooLargePictureMessage(image.size(), shownName);
        return in;
    }
    // The outline keeps opaque pictures: transparent parts are laid on white, as on a page, not
    // on the black that dropping the alpha channel would leave.
    if (image.hasAlphaChannel()) {
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.setDevicePixelRatio(1);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
        painter.end();
        bool transparent = false;
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height() && !transparent; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x)
                if (qAlpha(row[x]) != 255) {
                    transparent = true;
                    break;
                }
        }
        if (transparent)
            in.note = shownName.isEmpty()
                          ? QCoreApplication::translate(
                              "MainWindow",
                              "Прозрачные места рисунка залиты белым: конспект хранит рисунки без прозрачности.")
                          : QCoreApplication::translate(
                                "MainWindow",
                                "Прозрачные места рисунка «%1» залиты белым: конспект хранит рисунки без прозрачности.")
                                .arg(shownName);
        in.image = opaque;
    } else {
        in.image = image.convertToFormat(QImage::Format_RGB32);
    }
    return in;
}

IncomingPicture readIncomingPicture(const QString& path, const QString& shownName)
{
    IncomingPicture in;
    QString problem;
    const std::optional<QByteArray> bytes = readRegularFile(path, kMaxPictureFileBytes, &problem);
    if (!bytes) {
        in.error =
            QCoreApplication::translate("ObjectCommands", "Не удалось открыть файл «%1»: %2.").arg(shownName, problem);
        return in;
    }
    // JPEG goes through libjpeg with the outline's own limits and messages; the rest through Qt.
    if (bytes->startsWith("\xFF\xD8\xFF")) {
        QString error;
        const QImage image = decodeJpeg(*bytes, &error);
        if (image.isNull()) {
            in.error =
                QCoreApplication::translate("ObjectCommands", "Не удалось прочитать рисунок JPEG из файла «%1»: %2.")
                    .arg(shownName, error);
            return in;
        }
        return takeIncomingPicture(image, shownName);
    }
    QBuffer buffer;
    buffer.setData(*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (tooManyPixels(reader.size())) {
        in.error = tooLargePictureMessage(reader.size(), shownName);
        return in;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        in.error = QCoreApplication::translate("MainWindow",
                                               "Не удалось прочитать рисунок «%1»: файл повреждён или это не рисунок.")
                       .arg(shownName);
        return in;
    }
    return takeIncomingPicture(image, shownName);
}

QString incomingPictureFilter()
{
    return QCoreApplication::translate("ObjectCommands",
                                       "Все рисунки|*.jpg;*.jpeg;*.png;*.bmp;*.gif;*.webp|Рисунки JPEG|*.jpg;*.jpeg|"
                                       "Рисунки PNG|*.png|Рисунки BMP|*.bmp|Рисунки GIF|*.gif|Рисунки WebP|*.webp");
}

}  // namespace velmar
