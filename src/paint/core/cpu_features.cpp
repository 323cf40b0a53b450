#include "paint/core/cpu_features.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#endif

namespace velmar::paint {

namespace {

bool askProcessor()
{
#if defined(__x86_64__) && defined(__GNUC__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE) || !(c & bit_AVX))
        return false;
    unsigned low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 0x6) != 0x6)  // the XMM and YMM registers are saved on a task switch
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_AVX2);
#else
    return false;
#endif
}

}  // namespace

bool processorHasAvx2()
{
    static const bool avx2 = askProcessor();
    return avx2;
}

}  // namespace velmar::paint
