// The Windows-1251 codec: every byte string decodes, and the decoded text encodes back to the
// same bytes (the code page is a bijection on the bytes it defines; 0x98 is its one hole).
#include "storage/cp1251.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = velmar::decodeCp1251(bytes);
    const QByteArray back = velmar::encodeCp1251(text);
    if (!bytes.contains(char(0x98)) && back != bytes)
        std::abort();
    return 0;
}
