// The outline file reader (.vmd, and the full history snapshots .tm1 that share its format): the
// record, the picture chunks and the extension block. Inputs are in the compact form
// (tests/support/compact_outline.h) or whole files; every one must be refused or loaded without
// memory errors, leaks or runaway allocations.
#include "support/compact_outline.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray& bytes = compact::expand(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    const velmar::LoadResult loaded =
        velmar::readOutline(bytes, QStringLiteral("fuzz.vmd"), velmar::defaultWindowChrome());
    (void)loaded;
    return 0;
}
