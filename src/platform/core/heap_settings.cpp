#include "platform/core/heap_settings.h"

#include <malloc.h>

namespace velmar {

void returnLargeBlocksToTheSystem()
{
    // Setting the threshold fixes it: it no longer moves up as blocks are freed.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024);
}

}  // namespace velmar
