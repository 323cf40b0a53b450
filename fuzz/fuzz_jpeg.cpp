// The JPEG decoder at full size and at the reduced sizes thumbnails use.
#include "storage/jpeg_codec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte chooses the scale, the rest is the stream.
    const QByteArray stream = QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    switch (data[0] % 3) {
    case 0: (void)velmar::decodeJpeg(stream); break;
    case 1: (void)velmar::decodeJpeg(stream, nullptr, 8); break;
    default: (void)velmar::decodeJpegAtLeast(stream, QSize(data[0], data[0] / 2)); break;
    }
    return 0;
}
