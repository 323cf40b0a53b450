#pragma once

namespace velmar {

// Blocks of 4 MB and more (large decoded pictures, file images) go back to the system as soon as
// they are freed. Left to itself, glibc raises the size from which it maps blocks each time a
// mapped block is freed; after that, the pictures of every outline opened are carved from the
// heap, whose freed memory mostly stays with the process, and each Open grows it further. Up to
// a few megabytes of free memory stay at the heap's top for the next small blocks.
void returnLargeBlocksToTheSystem();

// Hands the free memory inside the heap back to the system. Replacing an outline frees about as
// much as the outline and its widgets took, scattered between blocks still in use, where the
// allocator would keep it for good: what a second Open adds would stay with the process.
void returnFreedMemoryToTheSystem();

}  // namespace velmar
