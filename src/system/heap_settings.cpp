#include "system/heap_settings.h"

#include <malloc.h>

namespace velmar {

void returnLargeBlocksToTheSystem()
{
    // Setting the threshold fixes it: it no longer moves up as blocks are freed.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024);
    // Fixing it also fixes the size of free memory at the heap's top that is handed back, at its
    // default of 128 KB: painting many small objects, as each step of a zoom does, frees and takes
    // again the raster engine's working buffers, and at that size the heap shrank and grew (with
    // a page fault for each page taken again) for nearly every one of them. A few megabytes kept
    // at the top do not add up over reopening, as they are reused.
    mallopt(M_TRIM_THRESHOLD, 8 * 1024 * 1024);
}

void returnFreedMemoryToTheSystem() { malloc_trim(0); }

}  // namespace velmar
