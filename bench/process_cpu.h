#pragma once
// CPU time of the whole process (every thread, user and system), in milliseconds: the measure of
// work that does not depend on how busy the other cores are.
#include <ctime>

inline double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}
