#include "system/heap_settings.h"

#include <malloc.h>

namespace velmar {

void returnLargeBlocksToTheSystem()
{
    // Setting the threshold fixes it: it no longer moves up as blocks are freed. Blocks of 4 MB
    // and more are mapped on their own; the `velmar` command has the allocator back such mappings,
    // and the heap, with huge pages (see the launcher), and a mapping of a few megabytes would
    // mostly be faulted in one small page at a time: a window's backing store (3 MB for a window
    // of 1024 × 768) is made anew on every resize and on an Open that gives the window the size
    // the file stores, and streams read from a file were. Below that size blocks come from the
    // heap, whose free memory returnFreedMemoryToTheSystem() hands back after an Open.
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    // Fixing it also fixes the size of free memory at the heap's top that is handed back, at its
    // default of 128 KB: painting many small objects, as each step of a zoom does, frees and takes
    // again the raster engine's working buffers, and at that size the heap shrank and grew (with
    // a page fault for each page taken again) for nearly every one of them. A few megabytes kept
    // at the top do not add up over reopening, as they are reused.
    mallopt(M_TRIM_THRESHOLD, 8 * 1024 * 1024);
    // One heap for every thread. The threads that decode an outline's pictures side by side are
    // started for each Open; each would otherwise get a heap of its own, fresh memory faulted in
    // for libjpeg's tables and buffers and the pictures it decodes, which made the decoding cost
    // an eighth more than on one thread. Threads here allocate few and large blocks, so that they
    // seldom wait for the heap's lock.
    mallopt(M_ARENA_MAX, 1);
}

void returnFreedMemoryToTheSystem() { malloc_trim(0); }

}  // namespace velmar
