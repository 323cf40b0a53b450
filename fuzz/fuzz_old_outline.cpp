// The importer of the old text format: the input is a .vmc text, optionally followed by the
// separator "\n--blc--\n" and the content of its .blc picture file.
#include "storage/old_outline_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QByteArray separator("\n--blc--\n");
    const qsizetype at = input.indexOf(separator);
    const QByteArray vmc = at < 0 ? input : input.left(at);
    const QByteArray blc = at < 0 ? QByteArray() : input.mid(at + separator.size());
    const velmar::LoadResult loaded =
        velmar::readOldOutline(vmc, at < 0 ? nullptr : &blc, QStringLiteral("fuzz.vmc"), velmar::defaultWindowChrome());
    (void)loaded;
    return 0;
}
