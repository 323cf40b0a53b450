#include "export/base64_encoder.h"

#include "paint/core/cpu_features.h"

#include <array>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VELMAR_BASE64_AVX2 1
#endif

namespace velmar {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The two characters of every 12-bit group, in memory order.
constexpr std::array<char, 2 * 4096> pairTable()
{
    std::array<char, 2 * 4096> table{};
    for (int i = 0; i < 4096; ++i) {
        table[std::size_t(2 * i)] = kAlphabet[i >> 6];
        table[std::size_t(2 * i + 1)] = kAlphabet[i & 63];
    }
    return table;
}

constexpr std::array<char, 2 * 4096> kPairs = pairTable();

// The last one or two bytes, with their padding.
void encodeTail(const unsigned char* in, qsizetype rest, char* out)
{
    if (rest == 0)
        return;
    const quint32 group = (quint32(in[0]) << 16) | (rest == 2 ? quint32(in[1]) << 8 : 0);
    out[0] = kAlphabet[group >> 18];
    out[1] = kAlphabet[(group >> 12) & 63];
    out[2] = rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
    out[3] = '=';
}

// Encodes the whole groups of three bytes from `in`, returns how many bytes it took.
qsizetype encodeGroupsWithTable(const unsigned char* in, qsizetype size, char* out)
{
    const qsizetype whole = size / 3 * 3;
    for (qsizetype i = 0; i < whole; i += 3, out += 4) {
        const quint32 group = (quint32(in[i]) << 16) | (quint32(in[i + 1]) << 8) | in[i + 2];
        std::memcpy(out, kPairs.data() + 2 * (group >> 12), 2);
        std::memcpy(out + 2, kPairs.data() + 2 * (group & 0xFFF), 2);
    }
    return whole;
}

#ifdef VELMAR_BASE64_AVX2
// 24 bytes become 32 characters per step, twelve in each 128-bit lane: each group of three
// bytes is spread over a 32-bit word as four 6-bit indices, which are turned into characters by
// adding the offset of the alphabet's range they fall in.
__attribute__((target("avx2"))) qsizetype encodeGroupsAvx2(const unsigned char* in, qsizetype size, char* out)
{
    const __m256i spread = _mm256_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10,  //
                                            1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
    const __m256i highMask = _mm256_set1_epi32(0x0FC0FC00);
    const __m256i highShift = _mm256_set1_epi32(0x04000040);
    const __m256i lowMask = _mm256_set1_epi32(0x003F03F0);
    const __m256i lowShift = _mm256_set1_epi32(0x01000010);
    const __m256i offsets = _mm256_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                             '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0,
                                             'a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                             '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
    qsizetype at = 0;
    // Each lane reads 16 bytes of which it uses 12: the step needs 28 bytes to be there.
    for (; at + 28 <= size; at += 24, out += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at + 12));
        const __m256i bytes = _mm256_shuffle_epi8(_mm256_set_m128i(high, low), spread);
        const __m256i indices = _mm256_or_si256(_mm256_mulhi_epu16(_mm256_and_si256(bytes, highMask), highShift),
                                                _mm256_mullo_epi16(_mm256_and_si256(bytes, lowMask), lowShift));
        // 0..25 → 13 ('A'), 26..51 → 0, 52..61 → 1..10, 62 → 11, 63 → 12.
        __m256i range = _mm256_subs_epu8(indices, _mm256_set1_epi8(51));
        range = _mm256_or_si256(
            range, _mm256_and_si256(_mm256_cmpgt_epi8(_mm256_set1_epi8(26), indices), _mm256_set1_epi8(13)));
        const __m256i characters = _mm256_add_epi8(indices, _mm256_shuffle_epi8(offsets, range));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), characters);
    }
    return at;
}
#endif

}  // namespace

void encodeBase64(const char* data, qsizetype size, char* out, Base64Path path)
{
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    qsizetype done = 0;
#ifdef VELMAR_BASE64_AVX2
    if (path != Base64Path::Table && paint::processorHasAvx2()) {
        done = encodeGroupsAvx2(in, size, out);
        out += done / 3 * 4;
    }
#else
    Q_UNUSED(path);
#endif
    const qsizetype whole = encodeGroupsWithTable(in + done, size - done, out);
    encodeTail(in + done + whole, size - done - whole, out + whole / 3 * 4);
}

}  // namespace velmar
