// The header-only history snapshots (.tm2): the record and its extension block are read and, when
// the counts match, applied to an outline of the same record, as undo and crash recovery do.
// Inputs are in the compact form (tests/support/compact_outline.h) or whole snapshots.
#include "support/compact_outline.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray& bytes =
        compact::expand(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), true);
    velmar::HeaderReadResult read = velmar::readOutlineHeaderWithBlock(bytes);
    if (!read.ok())
        return 0;
    velmar::Outline outline = read.header.outline;
    QString problem;
    velmar::applyHeaderToOutline(read.header, outline, &problem);
    return 0;
}
