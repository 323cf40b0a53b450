#include "storage/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

namespace velmar {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back out.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void onError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings are not shown, except that a stream which ends early or whose data breaks off at a
// marker stops decoding at once: libjpeg would fill the rest of such a picture with grey (the whole
// of a huge one that a few damaged bytes claim) and pass it off as whole.
void onMessage(j_common_ptr info, int level)
{
    const int code = info->err->msg_code;
    if (level == -1 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) {
        auto* manager = reinterpret_cast<ErrorManager*>(info->err);
        manager->truncated = true;
        std::longjmp(manager->jump, 1);
    }
}

// Pictures larger than this (400 MB as RGB32) are refused rather than allocated.
constexpr unsigned long kMaxPixels = 100'000'000;

}  // namespace

QByteArray encodeJpeg(const QImage& source, int quality)
{
    if (source.isNull())
        return {};
    const QImage image = source.convertToFormat(QImage::Format_RGB888);

    jpeg_compress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(image.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray stream(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return stream;
}

QImage decodeJpeg(const QByteArray& stream, QString* error, int scaleDenominator)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    if (stream.isEmpty())
        return fail(QStringLiteral("нет данных рисунка"));

    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    QImage image;

    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        if (errors.truncated)
            return fail(QStringLiteral("данные JPEG обрываются"));
        return fail(QStringLiteral("повреждённые данные JPEG (%1)").arg(QString::fromLocal8Bit(errors.message)));
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(stream.constData()), static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;  // the byte order of QImage::Format_RGB32 on little-endian
    info.scale_num = 1;
    info.scale_denom = unsigned(scaleDenominator == 2 || scaleDenominator == 4 || scaleDenominator == 8 ? scaleDenominator : 1);
    jpeg_start_decompress(&info);
    if (info.output_width == 0 || info.output_height == 0 || info.output_width > 30000 || info.output_height > 30000
        || static_cast<unsigned long>(info.output_width) * info.output_height > kMaxPixels) {
        jpeg_destroy_decompress(&info);
        return fail(QStringLiteral("недопустимый размер рисунка JPEG"));
    }
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return fail(QStringLiteral("рисунок слишком велик"));
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (error)
        error->clear();
    return image;
}

}  // namespace velmar
