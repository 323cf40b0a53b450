#include "storage/jpeg_codec.h"

#include "storage/decode_limits.h"
#include "storage/jpeg_messages.h"

#include <QCoreApplication>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace velmar {

namespace {

// The decoder's error handling: where a failure jumps to, and what the handlers found.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool truncated;
    bool replayed;
    bool tooManyScans;
    int scansCounted;  // scans found in the stream before decoding; more met while decoding is damage
};

// libjpeg reports fatal errors through error_exit, which must not return: jump back out. The
// failure is told by its message code (err->msg_code), never by the library's English text.
void onError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

// Warnings are not shown, except that a stream which ends early or whose data breaks off at a
// marker stops decoding at once: libjpeg would fill the rest of such a picture with grey (the whole
// of a huge one that a few damaged bytes claim) and pass it off as whole.
void onMessage(j_common_ptr info, int level)
{
    const int code = info->err->msg_code;
    if (level != -1)
        return;
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) {
        manager->truncated = true;
        std::longjmp(manager->jump, 1);
    }
    // A scan that refines what is already refined, or that a sequential stream cannot have, is a
    // stream replaying its scans to spend decoding time: each pass walks every block again.
    if (code == JWRN_BOGUS_PROGRESSION || code == JWRN_NOT_SEQUENTIAL) {
        manager->replayed = true;
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

// The refusal for a header's declared size, or an empty string.
QString checkHeader(const jpeg_decompress_struct& info, qsizetype streamBytes)
{
    const qint64 pixels = qint64(info.image_width) * info.image_height;
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > JDIMENSION(JpegLimits::maxSide)
        || info.image_height > JDIMENSION(JpegLimits::maxSide) || pixels > JpegLimits::maxPixels)
        return QCoreApplication::translate("JpegCodec", "недопустимый размер рисунка JPEG");
    const qint64 perByte = info.arith_code ? JpegLimits::maxPixelsPerByteArithmetic : JpegLimits::maxPixelsPerByte;
    if (pixels / perByte > streamBytes)
        return QCoreApplication::translate("JpegCodec", "данные JPEG обрываются");
    return {};
}

// Stops a progressive stream at its (maxScans + 1)-th scan, or at a scan that the count made
// before decoding (which the time budget was charged for) did not find.
void onProgress(j_common_ptr common)
{
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    if (info->input_scan_number > JpegLimits::maxScans) {
        manager->tooManyScans = true;
        std::longjmp(manager->jump, 1);
    }
    if (manager->scansCounted > 0 && info->input_scan_number > manager->scansCounted) {
        manager->replayed = true;
        std::longjmp(manager->jump, 1);
    }
}

// The scans of a stream as its markers lay them out, found without decoding: how many there are
// and how many component passes they make over the picture (a scan of one of three components is
// a third of a pass). Segments are skipped by their lengths; entropy-coded data runs to the next
// marker that is neither a stuffed byte nor a restart marker, as the decoder reads it.
struct ScanCount {
    int scans = 0;
    qint64 componentScans = 0;
    int frameComponents = 0;
};

ScanCount countScans(const QByteArray& stream)
{
    ScanCount count;
    const auto* bytes = reinterpret_cast<const unsigned char*>(stream.constData());
    const qsizetype size = stream.size();
    qsizetype at = 2;  // after SOI
    while (at + 1 < size) {
        if (bytes[at] != 0xFF) {
            ++at;  // stray data between segments: the decoder skips it as well
            continue;
        }
        const unsigned char marker = bytes[at + 1];
        if (marker == 0xFF || marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7)) {
            ++at;
            continue;
        }
        if (marker == 0xD9)
            break;
        if (at + 3 >= size)
            break;
        const int length = (bytes[at + 2] << 8) | bytes[at + 3];
        const qsizetype payload = at + 4;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC
            && payload + 5 < size)
            count.frameComponents = bytes[payload + 5];
        at += 2 + length;
        if (marker != 0xDA)
            continue;
        ++count.scans;
        if (payload < size)
            count.componentScans += bytes[payload];
        // The scan's data: up to the next real marker.
        while (at + 1 < size) {
            const void* found = std::memchr(bytes + at, 0xFF, std::size_t(size - at));
            if (!found) {
                at = size;
                break;
            }
            at = static_cast<const unsigned char*>(found) - bytes;
            if (at + 1 >= size)
                break;
            const unsigned char next = bytes[at + 1];
            if (next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
                ++at;
                continue;
            }
            break;
        }
    }
    return count;
}

qint64 costOf(const ScanCount& count, qint64 pixels)
{
    if (count.frameComponents <= 0 || count.scans == 0)
        return pixels;
    return std::max(pixels, pixels * count.componentScans / count.frameComponents);
}

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

// Whether the scan data of a sequential stream met a marker (damage) while rows well before the
// last are still to come: the decoder would fill the rest with grey and say nothing for
// arithmetic coding. The decoder reads up to two rows of blocks ahead of the rows it has
// delivered, so a marker met within them is the stream's regular end.
bool endedEarly(const jpeg_decompress_struct& info)
{
    // Restart markers (RST0…RST7) belong inside the data; the decoder reads them at its next step.
    const int marker = info.unread_marker;
    if (marker == 0 || (marker >= 0xD0 && marker <= 0xD7) || info.progressive_mode)
        return false;
    // An arithmetic encoder leaves out the zero bytes that end its data, and a plain area costs
    // almost nothing, so a whole stream may reach its end marker long before its last rows. A
    // stream that breaks off without one is still caught (libjpeg warns of the missing data).
    if (info.arith_code && marker == 0xD9)
        return false;
    const JDIMENSION rowOfBlocks = JDIMENSION(info.max_v_samp_factor) * JDIMENSION(info.min_DCT_scaled_size);
    return info.output_scanline + 2 * rowOfBlocks < info.output_height;
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
        return fail(QCoreApplication::translate("JpegCodec", "нет данных рисунка"));

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
            return fail(QCoreApplication::translate("JpegCodec", "данные JPEG обрываются"));
        if (errors.tooManyScans)
            return fail(QCoreApplication::translate("JpegCodec", "слишком много проходов JPEG (больше %1)")
                            .arg(JpegLimits::maxScans));
        if (errors.replayed)
            return fail(QCoreApplication::translate("JpegCodec", "повреждённые данные JPEG (повторённые проходы)"));
        return fail(jpegFailureText(errors.base.msg_code));
    }
    const auto truncatedStream = [&] {
        jpeg_destroy_decompress(&info);
        return fail(QCoreApplication::translate("JpegCodec", "данные JPEG обрываются"));
    };
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(stream.constData()),
                 static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&info, TRUE);
    if (const QString refused = checkHeader(info, stream.size()); !refused.isEmpty()) {
        jpeg_destroy_decompress(&info);
        return fail(refused);
    }
    // Every scan passes over the picture again: a stream may take as much time as a file of its
    // size may (see PictureBudget), counted before anything is decoded.
    const ScanCount scans = countScans(stream);
    if (costOf(scans, qint64(info.image_width) * info.image_height) > PictureBudget(stream.size()).pixelsLeft()) {
        jpeg_destroy_decompress(&info);
        return fail(QCoreApplication::translate("JpegCodec", "слишком много проходов JPEG для размера данных"));
    }
    errors.scansCounted = scans.scans;
    info.mem->max_memory_to_use = JpegLimits::maxDecoderMemory;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = onProgress;
    info.progress = &progress;
    // Print workflows write four-channel streams (CMYK, or YCCK that libjpeg turns into CMYK);
    // those are decoded as CMYK and converted here, everything else straight into RGB32.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;  // BGRX: QImage::Format_RGB32 on little-endian
    info.scale_num = 1;
    info.scale_denom = pick(info.image_width, info.image_height);
    jpeg_start_decompress(&info);
    if (info.output_width == 0 || info.output_height == 0) {
        jpeg_destroy_decompress(&info);
        return fail(QCoreApplication::translate("JpegCodec", "недопустимый размер рисунка JPEG"));
    }
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return fail(QCoreApplication::translate("JpegCodec", "рисунок слишком велик"));
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
            if (endedEarly(info))
                return truncatedStream();
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (JDIMENSION x = 0; x < info.output_width; ++x)
                out[x] = cmykToRgb(&inks[std::size_t(x) * 4], inverted);
        }
    } else {
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = image.scanLine(int(info.output_scanline));
            jpeg_read_scanlines(&info, &row, 1);
            if (endedEarly(info))
                return truncatedStream();
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
    const unsigned d =
        unsigned(scaleDenominator == 2 || scaleDenominator == 4 || scaleDenominator == 8 ? scaleDenominator : 1);
    return decode(stream, error, [d](JDIMENSION, JDIMENSION) { return d; });
}

QImage decodeStoredJpeg(const QByteArray& stream, int scaleDenominator)
{
    return decodeJpeg(stream, nullptr, scaleDenominator);
}

QSize jpegStreamSize(const QByteArray& stream)
{
    if (stream.isEmpty())
        return {};
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(stream.constData()),
                 static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&info, TRUE);
    const QSize size(int(std::min<JDIMENSION>(info.image_width, 0x7fffffff)),
                     int(std::min<JDIMENSION>(info.image_height, 0x7fffffff)));
    jpeg_destroy_decompress(&info);
    return size;
}

qint64 jpegDecodingCost(const QByteArray& stream) { return jpegDecodingCost(stream, jpegStreamSize(stream)); }

qint64 jpegDecodingCost(const QByteArray& stream, QSize declared)
{
    if (declared.isEmpty())
        return 0;
    return costOf(countScans(stream), qint64(declared.width()) * declared.height());
}

bool jpegStreamLengthFits(QSize declared, qint64 length)
{
    if (length <= JpegLimits::freeStreamBytes)
        return true;
    if (declared.isEmpty())
        return false;
    return length - JpegLimits::freeStreamBytes
           <= JpegLimits::maxBytesPerPixel * qint64(declared.width()) * declared.height();
}

QImage decodeJpegAtLeast(const QByteArray& stream, QSize wanted, QString* error)
{
    return decode(stream, error, [wanted](JDIMENSION w, JDIMENSION h) { return denominatorFor(w, h, wanted); });
}

}  // namespace velmar
