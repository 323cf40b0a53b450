// The header-only history snapshots (.tm2): the record is read and, when its counts match, applied
// to an outline of the same record, as undo and crash recovery do.
#include "storage/outline_file.h"
#include "storage/outline_io.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    velmar::HeaderReadResult read = velmar::readOutlineHeader(bytes);
    if (!read.ok())
        return 0;
    velmar::Outline outline = read.header.outline;
    QString problem;
    velmar::applyHeaderToOutline(read.header, outline, &problem);
    return 0;
}
