/* The setting of glibc's allocator the program runs with. It is read once, when a process starts,
 * from the GLIBC_TUNABLES environment variable, so the `velmar` command sets it and then starts
 * the program (src/launcher/launcher.c); the benchmarks that measure the program in their own
 * process start themselves again with it.
 *
 * With it, malloc asks the kernel for transparent huge pages wherever its heap grows. Opening an
 * outline fills tens of megabytes of fresh heap (the pictures' streams, hundreds of widgets), and
 * each first touch of a 4 KB page is a page fault: about 10 µs on the virtual machines the program
 * is measured on, over a third of an Open. A 2 MB page costs one fault for 512 of them. */
#ifndef VELMAR_HEAP_TUNABLES_H
#define VELMAR_HEAP_TUNABLES_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VELMAR_HEAP_TUNABLE_NAME "glibc.malloc.hugetlb"
#define VELMAR_HEAP_TUNABLE VELMAR_HEAP_TUNABLE_NAME "=1"

/* The GLIBC_TUNABLES value to start the program with, written into `out` (`size` bytes):
 * `current` (the variable as it is, or NULL) with the heap tunable added, unless it already
 * sets that tunable (the user's own value is kept). Returns 0, or -1 when `out` is too small. */
int velmar_heap_tunables(const char* current, char* out, size_t size);

/* Whether `current` already sets the heap tunable, whatever its value. */
int velmar_heap_tunable_set(const char* current);

#ifdef __cplusplus
}
#endif

#endif
