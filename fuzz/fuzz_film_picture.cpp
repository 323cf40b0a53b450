// A film's first picture as the film picture module reads it, from memory: the container reader,
// the decoder and the conversion to the size drawn. The first byte chooses the size asked for
// (small thumbnails to pictures larger than most films), the rest is the film.
#include "storage/film_picture_module.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" int velmarReadFilmPicture(const VelmarFilmRequest* request, VelmarFilmPicture* picture);
extern "C" void velmarFreeFilmPicture(VelmarFilmPicture* picture);

namespace {

struct Memory {
    const uint8_t* data;
    int64_t size;
    int64_t position = 0;
};

int readMemory(void* opaque, uint8_t* buffer, int size)
{
    auto* m = static_cast<Memory*>(opaque);
    const int64_t count = std::clamp<int64_t>(m->size - m->position, 0, size);
    std::memcpy(buffer, m->data + m->position, size_t(count));
    m->position += count;
    return int(count);
}

int64_t seekMemory(void* opaque, int64_t offset, int whence)
{
    auto* m = static_cast<Memory*>(opaque);
    int64_t at = 0;
    switch (whence) {
    case 0x10000: return m->size;
    case SEEK_SET: at = offset; break;
    case SEEK_CUR: at = m->position + offset; break;
    case SEEK_END: at = m->size + offset; break;
    default: return -1;
    }
    if (at < 0)
        return -1;
    m->position = at;
    return at;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    Memory memory{data + 1, int64_t(size - 1)};
    VelmarFilmRequest request{};
    request.version = kVelmarFilmModuleVersion;
    request.input = {&memory, readMemory, seekMemory};
    const int side = 8 << (data[0] % 8);  // 8 … 1024
    request.maxWidth = side;
    request.maxHeight = std::max(1, side * 3 / 4);
    // What an outline's budget leaves a film at most, and the program's bounds on reading.
    request.maxFramePixels = 16'000'000;
    request.maxBytesRead = 16 * 1024 * 1024;
    request.timeoutMs = 3000;
    VelmarFilmPicture picture{};
    if (velmarReadFilmPicture(&request, &picture) == VelmarFilmOk) {
        // The picture is no larger than asked, and as large as it says: reading every pixel
        // finds a buffer shorter than its size.
        if (picture.width <= 0 || picture.height <= 0 || picture.width > request.maxWidth
            || picture.height > request.maxHeight)
            __builtin_trap();
        volatile uint32_t sum = 0;
        for (int64_t i = 0, n = int64_t(picture.width) * picture.height; i < n; ++i)
            sum = sum + picture.pixels[i];
    }
    velmarFreeFilmPicture(&picture);
    return 0;
}
