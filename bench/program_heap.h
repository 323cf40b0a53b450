#pragma once
// Benchmarks that measure the program inside their own process run with the allocator setting
// the `velmar` command starts the program with (src/base/heap_tunables.h). glibc reads it
// only when a process starts, so a benchmark started without it starts itself again with it,
// before it does anything else.
#include "base/heap_tunables.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

inline void runWithTheProgramsHeap(char** argv)
{
    const char* current = std::getenv("GLIBC_TUNABLES");
    char tunables[4096];
    if (velmar_heap_tunable_set(current) || velmar_heap_tunables(current, tunables, sizeof tunables) != 0)
        return;
    setenv("GLIBC_TUNABLES", tunables, 1);
    execv("/proc/self/exe", argv);
    std::perror("the benchmark could not start itself again with the program's heap setting");
}
