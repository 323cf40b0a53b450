#pragma once
// An 8 × 8 transpose of 32-bit pixels held in AVX2 registers, for the code that turns and
// resamples pictures a square at a time. Callers run it only where the processor has AVX2
// (processorHasAvx2()).
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace velmar::paint {

// r[k], row k of a square of 8 × 8 pixels, becomes its column k: pairs of 32-bit values, then of
// 64-bit ones, then halves.
__attribute__((target("avx2"), always_inline)) inline void transpose8(__m256i r[8])
{
    const __m256i u0 = _mm256_unpacklo_epi32(r[0], r[1]), u1 = _mm256_unpackhi_epi32(r[0], r[1]);
    const __m256i u2 = _mm256_unpacklo_epi32(r[2], r[3]), u3 = _mm256_unpackhi_epi32(r[2], r[3]);
    const __m256i u4 = _mm256_unpacklo_epi32(r[4], r[5]), u5 = _mm256_unpackhi_epi32(r[4], r[5]);
    const __m256i u6 = _mm256_unpacklo_epi32(r[6], r[7]), u7 = _mm256_unpackhi_epi32(r[6], r[7]);
    const __m256i v0 = _mm256_unpacklo_epi64(u0, u2), v1 = _mm256_unpackhi_epi64(u0, u2);
    const __m256i v2 = _mm256_unpacklo_epi64(u1, u3), v3 = _mm256_unpackhi_epi64(u1, u3);
    const __m256i v4 = _mm256_unpacklo_epi64(u4, u6), v5 = _mm256_unpackhi_epi64(u4, u6);
    const __m256i v6 = _mm256_unpacklo_epi64(u5, u7), v7 = _mm256_unpackhi_epi64(u5, u7);
    r[0] = _mm256_permute2x128_si256(v0, v4, 0x20);
    r[1] = _mm256_permute2x128_si256(v1, v5, 0x20);
    r[2] = _mm256_permute2x128_si256(v2, v6, 0x20);
    r[3] = _mm256_permute2x128_si256(v3, v7, 0x20);
    r[4] = _mm256_permute2x128_si256(v0, v4, 0x31);
    r[5] = _mm256_permute2x128_si256(v1, v5, 0x31);
    r[6] = _mm256_permute2x128_si256(v2, v6, 0x31);
    r[7] = _mm256_permute2x128_si256(v3, v7, 0x31);
}

}  // namespace velmar::paint
#endif
