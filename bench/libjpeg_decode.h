#pragma once
// The baselines' decoder: libjpeg called directly, without the program's checks and image
// conversions, so a figure measured against it shows what the program adds to the decoding
// itself. Decodes one stream at 1/scale (1, 2, 4 or 8) into RGB rows and returns the number of
// pixels it made, 0 when the stream cannot be decoded.
#include <QByteArray>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace libjpeg_baseline {

struct ErrorJump {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] inline void jumpOut(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1); }

inline void quiet(j_common_ptr, int) {}

inline long long decode(const QByteArray& stream, int scale)
{
    jpeg_decompress_struct info{};
    ErrorJump errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpOut;
    errors.base.emit_message = quiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(stream.constData()),
                 static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned>(scale);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    // One row, in libjpeg's own pool (released with the decompressor, also after an error).
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * JDIMENSION(info.output_components), 1);
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, row, 1);
    const long long pixels = static_cast<long long>(info.output_width) * info.output_height;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

// The largest scale (8, 4, 2, 1) at which a picture of `full` size still covers `drawn`, as a
// picture decoded for drawing at that size would be.
inline int scaleFor(int fullWidth, int fullHeight, int drawnWidth, int drawnHeight)
{
    for (int scale : {8, 4, 2})
        if ((fullWidth + scale - 1) / scale >= drawnWidth && (fullHeight + scale - 1) / scale >= drawnHeight)
            return scale;
    return 1;
}

}  // namespace libjpeg_baseline
