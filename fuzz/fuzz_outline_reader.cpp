// The outline file reader (.vmd, and the full history snapshots .tm1 that share its format) fed
// arbitrary bytes: it must refuse or load without memory errors, leaks or runaway allocations.
#include "storage/outline_io.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const velmar::LoadResult loaded = velmar::readOutline(bytes, QStringLiteral("fuzz.vmd"), velmar::defaultWindowChrome());
    (void)loaded;
    return 0;
}
