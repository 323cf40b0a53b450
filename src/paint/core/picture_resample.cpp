// Smooth resizing of a picture. Made smaller, each new pixel is the average of the area of the
// picture it covers, worked out in fixed point one way at a time: a band of new rows weighs the
// source rows it covers, column by column; the band is transposed so that weighing the columns
// each new column covers is the same work again; and transposed back into the new rows. Made
// larger, the picture goes through Qt's smooth scaler.
#include "paint/core/cpu_features.h"
#include "paint/core/picture_memory.h"
#include "paint/core/picture_transforms.h"
#include "paint/core/transpose_avx2.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VELMAR_RESAMPLE_AVX2 1
#endif

namespace velmar::paint {

namespace {

constexpr int kWeightBits = 14;  // the weights of one new pixel add up to 1 << 14
// New rows made at a time: the band, and the band transposed, stay in the cache.
constexpr int kBandPixels = 16;

// Along one side: for each new pixel, the first source pixel it covers and the share of each
// pixel from there, in pairs of 16-bit weights (the first in the low half of a 32-bit word),
// `pairs` of them for every new pixel (those past its last source pixel zero).
//
// Where every new pixel covers few source pixels, the shares are also given in 1/128 (two signed
// bytes in 16 bits), which AVX2 multiplies and adds in one step without widening the pixels.
struct Shares {
    int pairs = 1;
    std::vector<int> first;
    std::vector<quint32> weights;
    bool inBytes = false;
    std::vector<quint16> byteWeights;

    const quint32* of(int i) const { return weights.data() + std::size_t(i) * std::size_t(pairs); }
    const quint16* bytesOf(int i) const { return byteWeights.data() + std::size_t(i) * std::size_t(pairs); }
};

constexpr int kByteBits = 7;  // the byte shares of one new pixel add up to 128
constexpr int kMostByteShares = 4;

// The weights of `count` covered parts (in 1/`whole`) rounded to add up to exactly 1 << bits:
// the largest takes what rounding left over, so that a flat colour stays exactly that colour.
void roundShares(const qint64* covered, int count, qint64 whole, int bits, int* w)
{
    int sum = 0, largest = 0;
    for (int k = 0; k < count; ++k) {
        w[k] = int((covered[k] * (qint64(1) << bits) + whole / 2) / whole);
        sum += w[k];
        if (covered[k] > covered[largest])
            largest = k;
    }
    w[largest] += (1 << bits) - sum;
}

// New pixel i of `to` covers source pixels [i · from / to, (i + 1) · from / to); each source
// pixel weighs the part of it covered. Counted in 1/to of a source pixel, all is whole numbers.
Shares areaShares(int from, int to)
{
    Shares s;
    s.first.resize(std::size_t(to));
    int most = 1;
    for (int i = 0; i < to; ++i) {
        const int first = int(qint64(i) * from / to);
        const int last = int((qint64(i + 1) * from - 1) / to);
        s.first[std::size_t(i)] = first;
        most = std::max(most, last - first + 1);
    }
    s.pairs = (most + 1) / 2;
    s.weights.assign(std::size_t(to) * std::size_t(s.pairs), 0);
    s.inBytes = most <= kMostByteShares;
    if (s.inBytes)
        s.byteWeights.assign(std::size_t(to) * std::size_t(s.pairs), 0);
    std::vector<qint64> covered(static_cast<std::size_t>(most));
    std::vector<int> w(static_cast<std::size_t>(most));
    for (int i = 0; i < to; ++i) {
        const qint64 begin = qint64(i) * from, end = qint64(i + 1) * from;
        const int first = s.first[std::size_t(i)];
        const int count = int((end - 1) / to) - first + 1;
        for (int k = 0; k < count; ++k)
            covered[std::size_t(k)] =
                std::min(end, qint64(first + k + 1) * to) - std::max(begin, qint64(first + k) * to);
        const std::size_t at = std::size_t(i) * std::size_t(s.pairs);
        roundShares(covered.data(), count, from, kWeightBits, w.data());
        for (int k = 0; k < count; ++k)
            s.weights[at + std::size_t(k / 2)] |= quint32(w[std::size_t(k)]) << (k % 2 ? 16 : 0);
        if (!s.inBytes)
            continue;
        roundShares(covered.data(), count, from, kByteBits, w.data());
        for (int k = 0; k < count; ++k) {
            // A share of the whole (the new pixel on one source pixel) does not fit a signed byte.
            if (w[std::size_t(k)] > 127)
                s.inBytes = false;
            s.byteWeights[at + std::size_t(k / 2)] |= quint16((w[std::size_t(k)] & 0xFF) << (k % 2 ? 8 : 0));
        }
    }
    if (!s.inBytes)
        s.byteWeights.clear();
    return s;
}

// The shares of a side lately resized, kept per thread: the outline's pictures come in few sizes,
// drawn at few sizes, and working the shares out again cost a quarter of making a small picture.
std::shared_ptr<const Shares> sharesFor(int from, int to)
{
    struct Kept {
        int from = 0, to = 0;
        std::shared_ptr<const Shares> shares;
    };
    static thread_local std::array<Kept, 8> kept;
    static thread_local std::size_t next = 0;
    for (const Kept& k : kept)
        if (k.shares && k.from == from && k.to == to)
            return k.shares;
    Kept& slot = kept[next++ % kept.size()];
    slot = {from, to, std::make_shared<const Shares>(areaShares(from, to))};
    return slot.shares;
}

int low(quint32 pair) { return int(pair & 0xFFFF); }
int high(quint32 pair) { return int(pair >> 16); }

// One line of `width` pixels, each channel the weighted sum of the lines given (two per pair
// of weights), rounded. Used down the picture's columns, and on a transposed band along its rows.
int weighLinesScalar(const quint32* const* lines, const quint32* weights, int pairs, int x, int width, quint32* out)
{
    for (; x < width; ++x) {
        quint32 pixel = 0;
        for (int c = 0; c < 32; c += 8) {
            int sum = 1 << (kWeightBits - 1);
            for (int p = 0; p < pairs; ++p)
                sum += low(weights[p]) * int((lines[2 * p][x] >> c) & 0xFF)
                       + high(weights[p]) * int((lines[2 * p + 1][x] >> c) & 0xFF);
            pixel |= quint32(sum >> kWeightBits) << c;
        }
        out[x] = pixel;
    }
    return x;
}

#ifdef __SSE2__
// The lines are asked for this many pixels ahead of where they are read.
constexpr int kAhead = 512;

// Four pixels at a time: the bytes of two lines side by side as 16-bit values, multiplied by
// their two weights and added in one step (pmaddwd), four 32-bit sums a pixel.
int weighLinesSse2(const quint32* const* lines, const quint32* weights, int pairs, int x, int width, quint32* out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi32(1 << (kWeightBits - 1));
    for (; x + 4 <= width; x += 4) {
        if (x % 16 == 0 && x + kAhead < width)
            for (int k = 0; k < 2 * pairs; ++k)
                _mm_prefetch(reinterpret_cast<const char*>(lines[k] + x + kAhead), _MM_HINT_T0);
        __m128i acc0 = round, acc1 = round, acc2 = round, acc3 = round;
        for (int p = 0; p < pairs; ++p) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lines[2 * p] + x));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lines[2 * p + 1] + x));
            const __m128i w = _mm_set1_epi32(int(weights[p]));
            const __m128i aLow = _mm_unpacklo_epi8(a, zero), aHigh = _mm_unpackhi_epi8(a, zero);
            const __m128i bLow = _mm_unpacklo_epi8(b, zero), bHigh = _mm_unpackhi_epi8(b, zero);
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(aLow, bLow), w));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(aLow, bLow), w));
            acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi16(aHigh, bHigh), w));
            acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi16(aHigh, bHigh), w));
        }
        const __m128i p01 = _mm_packs_epi32(_mm_srai_epi32(acc0, kWeightBits), _mm_srai_epi32(acc1, kWeightBits));
        const __m128i p23 = _mm_packs_epi32(_mm_srai_epi32(acc2, kWeightBits), _mm_srai_epi32(acc3, kWeightBits));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(p01, p23));
    }
    return x;
}
#endif

#ifdef VELMAR_RESAMPLE_AVX2
#define VELMAR_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

// Eight pixels from x: the lines weighed with 16-bit shares, two lines' bytes side by side as
// 16-bit values multiplied and added in one step (pmaddwd). The packing within each half undoes
// the unpacking's order.
VELMAR_AVX2_INLINE __m256i precise8(const quint32* const* lines, const quint32* weights, int pairs, qsizetype x)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i round = _mm256_set1_epi32(1 << (kWeightBits - 1));
    __m256i acc0 = round, acc1 = round, acc2 = round, acc3 = round;
    for (int p = 0; p < pairs; ++p) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lines[2 * p] + x));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lines[2 * p + 1] + x));
        const __m256i w = _mm256_set1_epi32(int(weights[p]));
        const __m256i aLow = _mm256_unpacklo_epi8(a, zero), aHigh = _mm256_unpackhi_epi8(a, zero);
        const __m256i bLow = _mm256_unpacklo_epi8(b, zero), bHigh = _mm256_unpackhi_epi8(b, zero);
        acc0 = _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpacklo_epi16(aLow, bLow), w));
        acc1 = _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpackhi_epi16(aLow, bLow), w));
        acc2 = _mm256_add_epi32(acc2, _mm256_madd_epi16(_mm256_unpacklo_epi16(aHigh, bHigh), w));
        acc3 = _mm256_add_epi32(acc3, _mm256_madd_epi16(_mm256_unpackhi_epi16(aHigh, bHigh), w));
    }
    const __m256i p01 = _mm256_packs_epi32(_mm256_srai_epi32(acc0, kWeightBits), _mm256_srai_epi32(acc1, kWeightBits));
    const __m256i p23 = _mm256_packs_epi32(_mm256_srai_epi32(acc2, kWeightBits), _mm256_srai_epi32(acc3, kWeightBits));
    return _mm256_packus_epi16(p01, p23);
}

// The same with byte shares: the bytes of two lines interleaved are multiplied by their shares
// and added in pairs (pmaddubsw) straight into 16-bit sums, which at most reach 255 · 128.
VELMAR_AVX2_INLINE __m256i bytes8(const quint32* const* lines, const quint16* weights, int pairs, qsizetype x)
{
    const __m256i scale = _mm256_set1_epi16(1 << (15 - kByteBits));  // rounds and divides by 128
    __m256i low = _mm256_setzero_si256(), high = _mm256_setzero_si256();
    for (int p = 0; p < pairs; ++p) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lines[2 * p] + x));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lines[2 * p + 1] + x));
        const __m256i w = _mm256_set1_epi16(short(weights[p]));
        low = _mm256_add_epi16(low, _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), w));
        high = _mm256_add_epi16(high, _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), w));
    }
    return _mm256_packus_epi16(_mm256_mulhrs_epi16(low, scale), _mm256_mulhrs_epi16(high, scale));
}

// The kind of shares and their number of pairs (0: as the shares say) fixed for the compiler,
// the common case of byte shares in one pair (a new pixel on two source pixels) without a loop.
template <bool Bytes, int Pairs>
VELMAR_AVX2_INLINE __m256i weigh8(const quint32* const* lines, const Shares& s, int i, qsizetype x)
{
    const int pairs = Pairs > 0 ? Pairs : s.pairs;
    if constexpr (Bytes)
        return bytes8(lines, s.bytesOf(i), pairs, x);
    else
        return precise8(lines, s.of(i), pairs, x);
}

VELMAR_AVX2_INLINE __m256i weigh8(const quint32* const* lines, const Shares& s, int i, qsizetype x)
{
    return s.inBytes ? weigh8<true, 0>(lines, s, i, x) : weigh8<false, 0>(lines, s, i, x);
}

__attribute__((target("avx2"))) int weighLinesAvx2(const quint32* const* lines, const Shares& s, int i, int width,
                                                   quint32* out)
{
    int x = 0;
    for (; x + 8 <= width; x += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), weigh8(lines, s, i, x));
    return x;
}

// Stores eight pixels of a new row: straight to memory where they are aligned for it (nothing
// reads them soon, and their lines are then not fetched first).
VELMAR_AVX2_INLINE void storeNewPixels(quint32* at, __m256i pixels)
{
    auto* d = reinterpret_cast<__m256i*>(at);
    if ((reinterpret_cast<quintptr>(d) & 31) == 0)
        _mm256_stream_si256(d, pixels);
    else
        _mm256_storeu_si256(d, pixels);
}

// weighBandColumns() with AVX2, writing the new rows itself: eight new columns at a time are
// weighed for the band's 16 rows and transposed in registers, `Blocks` such groups side by side,
// and each row's pixels of them stored one after the other: with two, a row's 64 bytes are one
// whole cache line, which the processor's write-combining sends to memory at once (pixels of the
// same line stored far apart are read, merged and written back). Returns how many columns it
// wrote (the last ones are left).
template <bool Bytes, int Pairs, int Blocks>
__attribute__((target("avx2"))) int weighBandColumnsWith(const quint32* turned, const Shares& s, int newW, int x,
                                                         quint32* to, qsizetype toStride, const quint32** lines)
{
    static_assert(kBandPixels == 16);
    for (; x + 8 * Blocks <= newW; x += 8 * Blocks) {
        // [block][half of the band's rows][new column, then (transposed) row]
        __m256i squares[Blocks][2][8];
        for (int b = 0; b < Blocks; ++b) {
            for (int c = 0; c < 8; ++c) {
                const int column = x + 8 * b + c;
                const quint32* first = turned + qsizetype(s.first[std::size_t(column)]) * kBandPixels;
                for (int k = 0; k < 2 * s.pairs; ++k)
                    lines[k] = first + qsizetype(k) * kBandPixels;
                squares[b][0][c] = weigh8<Bytes, Pairs>(lines, s, column, 0);
                squares[b][1][c] = weigh8<Bytes, Pairs>(lines, s, column, 8);
            }
            transpose8(squares[b][0]);
            transpose8(squares[b][1]);
        }
        for (int half = 0; half < 2; ++half)
            for (int i = 0; i < 8; ++i) {
                quint32* row = to + qsizetype(8 * half + i) * toStride + x;
                for (int b = 0; b < Blocks; ++b)
                    storeNewPixels(row + 8 * b, squares[b][half][i]);
            }
    }
    return x;
}

template <bool Bytes, int Pairs>
__attribute__((target("avx2"))) int weighBandColumnsWith(const quint32* turned, const Shares& s, int newW, quint32* to,
                                                         qsizetype toStride, const quint32** lines)
{
    int x = weighBandColumnsWith<Bytes, Pairs, 2>(turned, s, newW, 0, to, toStride, lines);
    x = weighBandColumnsWith<Bytes, Pairs, 1>(turned, s, newW, x, to, toStride, lines);
    _mm_sfence();
    return x;
}

__attribute__((target("avx2"))) int weighBandColumnsAvx2(const quint32* turned, const Shares& s, int newW, quint32* to,
                                                         qsizetype toStride, const quint32** lines)
{
    if (s.inBytes && s.pairs == 1)
        return weighBandColumnsWith<true, 1>(turned, s, newW, to, toStride, lines);
    if (s.inBytes)
        return weighBandColumnsWith<true, 0>(turned, s, newW, to, toStride, lines);
    return weighBandColumnsWith<false, 0>(turned, s, newW, to, toStride, lines);
}

// The band's new rows weighed down the source's columns and stored transposed (`turned`: w lines
// of kBandPixels): eight columns of eight new rows at a time, transposed in registers. All the
// band's source rows are read side by side, each asked for some way ahead. `lines` holds each
// new row's 2 · pairs source rows. Returns how many columns it did (the last ones are left).
template <bool Bytes, int Pairs>
__attribute__((target("avx2"))) int weighBandRowsWith(const quint32* const* lines, const Shares& down, int y0, int rows,
                                                      const quint32* const* sources, int sourceCount, int w,
                                                      quint32* turned)
{
    const int perRow = 2 * down.pairs;
    int x = 0;
    for (; x + 8 <= w; x += 8) {
        // Not as far ahead as a single line is: the band's rows together must stay in the cache.
        constexpr int kBandAhead = 128;
        if (x % 16 == 0 && x + kBandAhead < w)
            for (int k = 0; k < sourceCount; ++k)
                _mm_prefetch(reinterpret_cast<const char*>(sources[k] + x + kBandAhead), _MM_HINT_T0);
        for (int half = 0; half < kBandPixels / 8; ++half) {
            __m256i r[8];
#pragma GCC unroll 8
            for (int i = 0; i < 8; ++i) {
                // Rows past the band's last (at the picture's foot) repeat it.
                const int row = std::min(8 * half + i, rows - 1);
                r[i] = weigh8<Bytes, Pairs>(lines + qsizetype(row) * perRow, down, y0 + row, x);
            }
            transpose8(r);
#pragma GCC unroll 8
            for (int c = 0; c < 8; ++c)
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(turned + qsizetype(x + c) * kBandPixels + 8 * half),
                                    r[c]);
        }
    }
    return x;
}

__attribute__((target("avx2"))) int weighBandRowsAvx2(const quint32* const* lines, const Shares& down, int y0, int rows,
                                                      const quint32* const* sources, int sourceCount, int w,
                                                      quint32* turned)
{
    if (down.inBytes && down.pairs == 1)
        return weighBandRowsWith<true, 1>(lines, down, y0, rows, sources, sourceCount, w, turned);
    if (down.inBytes)
        return weighBandRowsWith<true, 0>(lines, down, y0, rows, sources, sourceCount, w, turned);
    return weighBandRowsWith<false, 0>(lines, down, y0, rows, sources, sourceCount, w, turned);
}
#endif

void weighLines(const quint32* const* lines, const Shares& s, int i, int width, quint32* out, VectorWidth vectors)
{
    int x = 0;
#ifdef VELMAR_RESAMPLE_AVX2
    static const bool avx2 = processorHasAvx2();
    if (avx2 && vectors == VectorWidth::Widest)
        x = weighLinesAvx2(lines, s, i, width, out);
#endif
#ifdef __SSE2__
    if (vectors != VectorWidth::Scalar)
        x = weighLinesSse2(lines, s.of(i), s.pairs, x, width, out);
#endif
    weighLinesScalar(lines, s.of(i), s.pairs, x, width, out);
}

// Writes row r, column c of the `rows` × `cols` pixels at `from` as row c, column r at `to`.
void transpose(const quint32* from, qsizetype fromStride, int rows, int cols, quint32* to, qsizetype toStride)
{
    int r = 0;
#ifdef __SSE2__
    for (; r + 4 <= rows; r += 4) {
        int c = 0;
        for (; c + 4 <= cols; c += 4) {
            const quint32* f = from + qsizetype(r) * fromStride + c;
            const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f));
            const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + fromStride));
            const __m128i a2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + 2 * fromStride));
            const __m128i a3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + 3 * fromStride));
            const __m128i t0 = _mm_unpacklo_epi32(a0, a1);
            const __m128i t1 = _mm_unpackhi_epi32(a0, a1);
            const __m128i t2 = _mm_unpacklo_epi32(a2, a3);
            const __m128i t3 = _mm_unpackhi_epi32(a2, a3);
            quint32* d = to + qsizetype(c) * toStride + r;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi64(t0, t2));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + toStride), _mm_unpackhi_epi64(t0, t2));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * toStride), _mm_unpacklo_epi64(t1, t3));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 3 * toStride), _mm_unpackhi_epi64(t1, t3));
        }
        for (; c < cols; ++c)
            for (int k = r; k < r + 4; ++k)
                to[qsizetype(c) * toStride + k] = from[qsizetype(k) * fromStride + c];
    }
#endif
    for (; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            to[qsizetype(c) * toStride + r] = from[qsizetype(r) * fromStride + c];
}

// The band of new rows y0.. (`rows` of them, at most kBandPixels) weighed down the source's
// columns, stored transposed in `turned` (w lines of kBandPixels); `band` (kBandPixels rows of w)
// holds them on the way where they are not transposed in registers.
void weighBandRows(const QImage& image, const Shares& down, int y0, int rows, quint32* band, quint32* turned,
                   VectorWidth vectors)
{
    const int w = image.width(), h = image.height();
    const int perRow = 2 * down.pairs;
    const auto source = [&](int y) {
        return reinterpret_cast<const quint32*>(image.constScanLine(std::min(h - 1, y)));
    };
    // Each new row's source rows; those past its last weigh nothing, and any row does for them.
    std::vector<const quint32*> lines(std::size_t(kBandPixels) * std::size_t(perRow));
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < perRow; ++k)
            lines[std::size_t(r * perRow + k)] = source(down.first[std::size_t(y0 + r)] + k);
    int x = 0;
#ifdef VELMAR_RESAMPLE_AVX2
    static const bool avx2 = processorHasAvx2();
    if (avx2 && vectors == VectorWidth::Widest) {
        const int top = down.first[std::size_t(y0)];
        const int bottom = std::min(h - 1, down.first[std::size_t(y0 + rows - 1)] + perRow - 1);
        std::vector<const quint32*> sources;
        for (int y = top; y <= bottom; ++y)
            sources.push_back(source(y));
        x = weighBandRowsAvx2(lines.data(), down, y0, rows, sources.data(), int(sources.size()), w, turned);
    }
#endif
    if (x == w)
        return;
    std::vector<const quint32*> from(static_cast<std::size_t>(perRow));
    for (int r = 0; r < rows; ++r) {
        for (int k = 0; k < perRow; ++k)
            from[std::size_t(k)] = lines[std::size_t(r * perRow + k)] + x;
        weighLines(from.data(), down, y0 + r, w - x, band + qsizetype(r) * w + x, vectors);
    }
    transpose(band + x, w, rows, w - x, turned + qsizetype(x) * kBandPixels, kBandPixels);
}

// Each new column of a transposed band (kBandPixels pixels a line, lines padded past the last with
// zeros): the weighted sum of the lines it covers.
// Each new column of a transposed band (kBandPixels pixels a line, lines padded past the last
// with zeros): the weighted sum of the lines it covers, written as the band's new rows (`to`,
// rows `toStride` apart). `newColumns` (newW lines of kBandPixels) holds them on the way.
void weighBandColumns(const quint32* turned, const Shares& across, int newW, quint32* newColumns, quint32* to,
                      qsizetype toStride, VectorWidth vectors)
{
    std::vector<const quint32*> lines(2 * std::size_t(across.pairs));
    int x = 0;
#ifdef VELMAR_RESAMPLE_AVX2
    static const bool avx2 = processorHasAvx2();
    if (avx2 && vectors == VectorWidth::Widest)
        x = weighBandColumnsAvx2(turned, across, newW, to, toStride, lines.data());
#endif
    for (int c = x; c < newW; ++c) {
        const quint32* first = turned + qsizetype(across.first[std::size_t(c)]) * kBandPixels;
        for (std::size_t k = 0; k < lines.size(); ++k)
            lines[k] = first + qsizetype(k) * kBandPixels;
        weighLines(lines.data(), across, c, kBandPixels, newColumns + qsizetype(c - x) * kBandPixels, vectors);
    }
    transpose(newColumns, kBandPixels, newW - x, kBandPixels, to + x, toStride);
}

// The picture made smaller (or as large) each way, by the average of the area each new pixel
// covers. A band of kBandPixels new rows at a time: each new row weighs the source rows it covers,
// column by column; the band is transposed, so that weighing the columns it covers for each new
// column is the same work down a short line; and transposed back into the new rows. The band
// stays in the cache throughout.
QImage areaAverage(const QImage& image, QSize size, VectorWidth vectors, QImage* memory)
{
    const int w = image.width(), h = image.height();
    const int newW = size.width(), newH = size.height();
    QImage none;
    QImage out = pictureInMemoryOf(memory ? *memory : none, size, image.format());
    if (out.isNull())
        return out;
    const std::shared_ptr<const Shares> acrossShares = sharesFor(w, newW), downShares = sharesFor(h, newH);
    const Shares& across = *acrossShares;
    const Shares& down = *downShares;
    // The buffers between the passes, kept from one resize to the next (new memory costs more
    // to touch than the passes over it): kBandPixels rows of w; w lines of kBandPixels and room
    // past them for the weights past a new column's last pixel (they weigh nothing, so what lies
    // there does not matter); newW lines of kBandPixels; kBandPixels rows of newW.
    static thread_local std::vector<quint32> scratch;
    const std::size_t bandSize = std::size_t(kBandPixels) * std::size_t(w);
    const std::size_t turnedSize = (std::size_t(w) + 2 * std::size_t(across.pairs)) * kBandPixels;
    const std::size_t columnsSize = std::size_t(newW) * kBandPixels;
    scratch.resize(std::max(scratch.size(), bandSize + turnedSize + 2 * columnsSize));
    quint32* const band = scratch.data();
    quint32* const turnedBand = band + bandSize;
    quint32* const newColumns = turnedBand + turnedSize;
    quint32* const bandOut = newColumns + columnsSize;
    const qsizetype outStride = out.bytesPerLine() / 4;
    for (int y0 = 0; y0 < newH; y0 += kBandPixels) {
        const int rows = std::min(kBandPixels, newH - y0);
        weighBandRows(image, down, y0, rows, band, turnedBand, vectors);
        // A whole band goes straight into the new rows; the last, shorter one through a buffer.
        if (rows == kBandPixels) {
            weighBandColumns(turnedBand, across, newW, newColumns, reinterpret_cast<quint32*>(out.scanLine(y0)),
                             outStride, vectors);
            continue;
        }
        weighBandColumns(turnedBand, across, newW, newColumns, bandOut, newW, vectors);
        for (int r = 0; r < rows; ++r)
            std::memcpy(out.scanLine(y0 + r), bandOut + std::size_t(r) * std::size_t(newW), std::size_t(newW) * 4);
    }
    return out;
}

}  // namespace

QImage resampled(const QImage& image, QSize size, QImage* memory)
{
    if (image.size() == size || image.isNull() || size.isEmpty())
        return image;
    const bool smaller = size.width() <= image.width() && size.height() <= image.height();
    if (smaller && (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32_Premultiplied))
        return areaAverage(image, size, vectorWidth(), memory);
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace velmar::paint
