#include "storage/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

// One CMYK pixel as the screen colour it prints as: each ink takes away its share of the light
// that black leaves. Inverted streams hold 255 − ink.
QRgb cmykToRgb(const JSAMPLE* ink, bool inverted)
{
    int c = ink[0], m = ink[1], y = ink[2], k = ink[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    // c, m, y and k now hold how much light each ink lets through.
    return qRgb((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
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

namespace {

// The largest of libjpeg's scale denominators 8, 4, 2 that still gives at least `wanted`
// pixels in both directions (1 when none does, or when nothing smaller is wanted).
unsigned denominatorFor(JDIMENSION width, JDIMENSION height, QSize wanted)
{
    if (wanted.isEmpty())
        return 1;
    for (unsigned d : {8u, 4u, 2u}) {
        // libjpeg rounds the scaled size up.
        const qint64 w = (qint64(width) + d - 1) / d;
        const qint64 h = (qint64(height) + d - 1) / d;
        if (w >= wanted.width() && h >= wanted.height())
            return d;
    }
    return 1;
}

// Decodes with the scale denominator that pick() chooses from the stream's own size.
template <typename Pick>
QImage decode(const QByteArray& stream, QString* error, Pick pick)
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
    std::vector<JSAMPLE> inks;  // one row of a CMYK stream; declared here, out of the jump's way

    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        if (errors.truncated)
            return fail(QStringLiteral("данные JPEG обрываются"));
        return fail(QStringLiteral("повреждённые данные JPEG (%1)").arg(QString::fromLocal8Bit(errors.message)));
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(stream.constData()), static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&info, TRUE);
    // Print workflows write four-channel streams (CMYK, or YCCK that libjpeg turns into CMYK);
    // those are decoded as CMYK and converted here, everything else straight into RGB32.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;  // BGRX: QImage::Format_RGB32 on little-endian
    info.scale_num = 1;
    info.scale_denom = pick(info.image_width, info.image_height);
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
    if (cmyk) {
        // Adobe's applications store the four inks inverted and mark the stream with their APP14
        // marker; streams without it hold plain ink amounts.
        const bool inverted = info.saw_Adobe_marker;
        inks.resize(std::size_t(info.output_width) * 4);
        while (info.output_scanline < info.output_height) {
            const int y = int(info.output_scanline);
            JSAMPROW row = inks.data();
            jpeg_read_scanlines(&info, &row, 1);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (JDIMENSION x = 0; x < info.output_width; ++x)
                out[x] = cmykToRgb(&inks[std::size_t(x) * 4], inverted);
        }
    }
    else {
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = image.scanLine(int(info.output_scanline));
            jpeg_read_scanlines(&info, &row, 1);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (error)
        error->clear();
    return image;
}

}  // namespace

QImage decodeJpeg(const QByteArray& stream, QString* error, int scaleDenominator)
{
    const unsigned d = unsigned(scaleDenominator == 2 || scaleDenominator == 4 || scaleDenominator == 8 ? scaleDenominator : 1);
    return decode(stream, error, [d](JDIMENSION, JDIMENSION) { return d; });
}

QImage decodeJpegAtLeast(const QByteArray& stream, QSize wanted, QString* error)
{
    return decode(stream, error, [wanted](JDIMENSION w, JDIMENSION h) { return denominatorFor(w, h, wanted); });
}

}  // namespace velmar
