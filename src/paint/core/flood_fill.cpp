#include "paint/core/flood_fill.h"

#include "paint/core/cpu_features.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VELMAR_FILL_AVX2 1
#endif

namespace velmar::paint {

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFFu;
constexpr quint64 kAllOnes = ~quint64(0);

#ifdef VELMAR_FILL_AVX2
// ExactMatch::bits() eight pixels at a time; returns how many pixels it tested.
__attribute__((target("avx2"))) int exactBitsAvx2(const QRgb* p, int n, QRgb target, quint64& out)
{
    const __m256i rgb = _mm256_set1_epi32(int(kRgbMask));
    const __m256i t = _mm256_set1_epi32(int(target));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i eq = _mm256_cmpeq_epi32(_mm256_and_si256(a, rgb), t);
        out |= quint64(unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(eq)))) << i;
    }
    return i;
}

// Writes `value` into n pixels, eight at a time.
__attribute__((target("avx2"))) int fillPixelsAvx2(QRgb* p, int n, QRgb value)
{
    const __m256i v = _mm256_set1_epi32(int(value));
    int i = 0;
    for (; i + 8 <= n; i += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), v);
    return i;
}

const bool kAvx2 = processorHasAvx2();
#endif

// Writes `value` into n pixels: a filled run is most often a whole row.
void fillPixels(QRgb* p, int n, QRgb value)
{
    int i = 0;
#ifdef VELMAR_FILL_AVX2
    if (kAvx2)
        i = fillPixelsAvx2(p, n, value);
#endif
#ifdef __SSE2__
    const __m128i v = _mm_set1_epi32(int(value));
    for (; i + 4 <= n; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
#endif
    for (; i < n; ++i)
        p[i] = value;
}

// Which pixels the fill may still take: "exactly the target colour", or "within the tolerance of
// the target and not already the fill colour". `bits` tests up to 64 pixels at once (four at a
// time with SSE2, eight with AVX2) and returns bit i for pixel i.
struct ExactMatch {
    QRgb target;  // without alpha

    bool one(QRgb p) const { return (p & kRgbMask) == target; }

    quint64 bits(const QRgb* p, int n) const
    {
        quint64 out = 0;
        int i = 0;
#ifdef VELMAR_FILL_AVX2
        if (kAvx2)
            i = exactBitsAvx2(p, n, target, out);
#endif
#ifdef __SSE2__
        const __m128i rgb = _mm_set1_epi32(int(kRgbMask));
        const __m128i t = _mm_set1_epi32(int(target));
        for (; i + 4 <= n; i += 4) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i eq = _mm_cmpeq_epi32(_mm_and_si128(a, rgb), t);
            out |= quint64(_mm_movemask_ps(_mm_castsi128_ps(eq))) << i;
        }
#endif
        for (; i < n; ++i)
            out |= quint64(one(p[i])) << i;
        return out;
    }
};

struct ToleranceMatch {
    QRgb target;  // without alpha
    int tolerance;
    QRgb fill;  // without alpha

    bool one(QRgb p) const
    {
        if ((p & kRgbMask) == fill)
            return false;
        const int d = std::abs(int((p >> 16) & 0xFF) - int((target >> 16) & 0xFF))
                      + std::abs(int((p >> 8) & 0xFF) - int((target >> 8) & 0xFF))
                      + std::abs(int(p & 0xFF) - int(target & 0xFF));
        return d <= tolerance;
    }

#ifdef __SSE2__
    // All-ones lanes for the pixels of `a` that match.
    __m128i lanes(__m128i a) const
    {
        const __m128i rgb = _mm_set1_epi32(int(kRgbMask));
        const __m128i low = _mm_set1_epi32(0xFF);
        const __m128i t = _mm_set1_epi32(int(target));
        // Byte-wise |a − t|, the three colour bytes summed per pixel.
        __m128i d = _mm_or_si128(_mm_subs_epu8(a, t), _mm_subs_epu8(t, a));
        d = _mm_and_si128(d, rgb);
        const __m128i sum = _mm_add_epi32(
            _mm_add_epi32(_mm_and_si128(d, low), _mm_and_si128(_mm_srli_epi32(d, 8), low)), _mm_srli_epi32(d, 16));
        const __m128i far = _mm_cmpgt_epi32(sum, _mm_set1_epi32(tolerance));
        const __m128i isFill = _mm_cmpeq_epi32(_mm_and_si128(a, rgb), _mm_set1_epi32(int(fill)));
        return _mm_andnot_si128(_mm_or_si128(far, isFill), _mm_set1_epi32(-1));
    }
#endif

    quint64 bits(const QRgb* p, int n) const
    {
        quint64 out = 0;
        int i = 0;
#ifdef __SSE2__
        for (; i + 4 <= n; i += 4) {
            const __m128i m = lanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
            out |= quint64(_mm_movemask_ps(_mm_castsi128_ps(m))) << i;
        }
#endif
        for (; i < n; ++i)
            out |= quint64(one(p[i])) << i;
        return out;
    }
};

// Bit rows: one bit per pixel, 64 pixels per word.
inline quint64 maskFrom(int bit) { return kAllOnes << bit; }  // bits bit..63
inline quint64 maskUpTo(int bit) { return bit == 63 ? kAllOnes : (quint64(1) << (bit + 1)) - 1; }

// The first position ≥ x whose bit is clear (or `end` when there is none before it).
int firstClearFrom(const quint64* row, int words, int x, int end)
{
    int wi = x >> 6;
    quint64 word = ~row[wi] & maskFrom(x & 63);
    while (!word) {
        if (++wi >= words)
            return end;
        word = ~row[wi];
    }
    return std::min(end, wi * 64 + std::countr_zero(word));
}

// The last position ≤ x whose bit is clear, or −1.
int lastClearUpTo(const quint64* row, int x)
{
    int wi = x >> 6;
    quint64 word = ~row[wi] & maskUpTo(x & 63);
    while (!word) {
        if (--wi < 0)
            return -1;
        word = ~row[wi];
    }
    return wi * 64 + 63 - std::countl_zero(word);
}

// Calls f(wordIndex, mask) for the words covering bits x1..x2.
template <typename F>
void forRange(int x1, int x2, F f)
{
    const int w1 = x1 >> 6, w2 = x2 >> 6;
    for (int wi = w1; wi <= w2; ++wi) {
        quint64 m = kAllOnes;
        if (wi == w1)
            m &= maskFrom(x1 & 63);
        if (wi == w2)
            m &= maskUpTo(x2 & 63);
        f(wi, m);
    }
}

// Scanline fill over two bit planes: `open` marks the pixels that may still be filled (computed
// for a row the first time the fill reaches it, cleared as pixels are filled) and `seeds` the
// pixels next to filled runs that are still to be tried. A stack holds the rows with seeds. Each
// pixel's colour is tested once, and the picture itself is written once per filled pixel.
template <typename Match>
QRect scanlineFill(QImage& picture, QPoint start, QRgb fill, const Match& match, WriteGuard* guard)
{
    const int w = picture.width();
    const int h = picture.height();
    const int words = (w + 63) / 64;
    const qsizetype stride = picture.bytesPerLine() / 4;
    QRgb* const base = reinterpret_cast<QRgb*>(picture.bits());

    std::vector<quint64> open(std::size_t(words) * std::size_t(h));
    std::vector<quint64> seeds(std::size_t(words) * std::size_t(h), 0);
    std::vector<char> openReady(std::size_t(h), 0);
    std::vector<char> pending(std::size_t(h), 0);
    std::vector<int> rows;

    auto openRow = [&](int y) -> quint64* {
        quint64* row = &open[std::size_t(y) * std::size_t(words)];
        if (!openReady[std::size_t(y)]) {
            openReady[std::size_t(y)] = 1;
            const QRgb* line = base + y * stride;
            for (int wi = 0; wi < words; ++wi)
                row[wi] = match.bits(line + wi * 64, std::min(64, w - wi * 64));
        }
        return row;
    };
    auto seedRow = [&](int y) { return &seeds[std::size_t(y) * std::size_t(words)]; };

    if (!((openRow(start.y())[start.x() >> 6] >> (start.x() & 63)) & 1))
        return {};
    seedRow(start.y())[start.x() >> 6] |= quint64(1) << (start.x() & 63);
    pending[std::size_t(start.y())] = 1;
    rows.push_back(start.y());

    int minX = w, maxX = -1, minY = h, maxY = -1;
    while (!rows.empty()) {
        const int y = rows.back();
        rows.pop_back();
        pending[std::size_t(y)] = 0;
        quint64* rowOpen = openRow(y);
        quint64* rowSeeds = seedRow(y);
        QRgb* line = base + y * stride;
        for (int wi = 0; wi < words; ++wi) {
            quint64 live;
            while ((live = rowSeeds[wi] & rowOpen[wi]) != 0) {
                const int x = wi * 64 + std::countr_zero(live);
                const int xl = lastClearUpTo(rowOpen, x) + 1;
                const int xr = firstClearFrom(rowOpen, words, x, w) - 1;
                if (guard)
                    guard->beforeWrite(QRect(xl, y, xr - xl + 1, 1), true);
                fillPixels(line + xl, xr - xl + 1, fill);
                forRange(xl, xr, [&](int i, quint64 m) {
                    rowOpen[i] &= ~m;
                    rowSeeds[i] &= ~m;
                });
                minX = std::min(minX, xl);
                maxX = std::max(maxX, xr);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
                // Seed the open pixels above and below the run.
                for (int ny : {y - 1, y + 1}) {
                    if (ny < 0 || ny >= h)
                        continue;
                    const quint64* nOpen = openRow(ny);
                    quint64* nSeeds = seedRow(ny);
                    quint64 any = 0;
                    forRange(xl, xr, [&](int i, quint64 m) {
                        const quint64 s = nOpen[i] & m;
                        nSeeds[i] |= s;
                        any |= s;
                    });
                    if (any && !pending[std::size_t(ny)]) {
                        pending[std::size_t(ny)] = 1;
                        rows.push_back(ny);
                    }
                }
            }
            rowSeeds[wi] = 0;
        }
    }
    if (maxX < 0)
        return {};
    return QRect(QPoint(minX, minY), QPoint(maxX, maxY));
}

}  // namespace

int colourDistance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

QRect floodFillExact(QImage& picture, QPoint start, QRgb fill, WriteGuard* guard)
{
    if (!picture.rect().contains(start) || picture.depth() != 32)
        return {};
    const QRgb target = picture.pixel(start) & kRgbMask;
    fill = (fill & kRgbMask) | 0xFF000000u;
    if (target == (fill & kRgbMask))
        return {};
    return scanlineFill(picture, start, fill, ExactMatch{target}, guard);
}

QRect fillWithTolerance(QImage& picture, QPoint start, int tolerance, QRgb target, QRgb fill, bool all,
                        WriteGuard* guard)
{
    target &= kRgbMask;
    fill = (fill & kRgbMask) | 0xFF000000u;
    if (target == (fill & kRgbMask) || picture.depth() != 32 || picture.isNull())
        return {};
    const ToleranceMatch match{target, tolerance, fill & kRgbMask};
    if (!all) {
        if (!picture.rect().contains(start))
            return {};
        return scanlineFill(picture, start, fill, match, guard);
    }

    // Every matching pixel of the picture, in blocks of 64 × 64 pixels (small enough to stay in
    // the cache between the guard's keeping them and the fill's writing them), each block row by
    // row: a row with no match is read only; at the block's first match the guard is told the
    // rest of the block, then the matching pixels are written. A global fill may touch any row,
    // so the whole picture is reported when anything changed.
    const int w = picture.width();
    const int h = picture.height();
    constexpr int kBlock = 64;
    bool changed = false;
    uchar* const bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
#ifdef __SSE2__
    const __m128i f = _mm_set1_epi32(int(fill));
#endif
    for (int top = 0; top < h; top += kBlock) {
        const int bottom = std::min(h, top + kBlock) - 1;
        for (int x0 = 0; x0 < w; x0 += kBlock) {
            const int n = std::min(kBlock, w - x0);
            bool guarded = false;
            for (int y = top; y <= bottom; ++y) {
                QRgb* p = reinterpret_cast<QRgb*>(bits + y * stride) + x0;
                int i = 0;
                bool any = false;
#ifdef __SSE2__
                __m128i masks[kBlock / 4];
                __m128i anyLane = _mm_setzero_si128();
                for (; i + 4 <= n; i += 4) {
                    masks[i / 4] = match.lanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
                    anyLane = _mm_or_si128(anyLane, masks[i / 4]);
                }
                any = _mm_movemask_epi8(anyLane) != 0;
#endif
                for (int j = i; j < n && !any; ++j)
                    any = match.one(p[j]);
                if (!any)
                    continue;
                if (!guarded && guard)
                    guard->beforeWrite(QRect(x0, y, n, bottom - y + 1), true);
                guarded = true;
#ifdef __SSE2__
                for (int k = 0; k < i; k += 4) {
                    __m128i* at = reinterpret_cast<__m128i*>(p + k);
                    const __m128i m = masks[k / 4];
                    _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(m, f), _mm_andnot_si128(m, _mm_loadu_si128(at))));
                }
#endif
                for (int j = i; j < n; ++j)
                    if (match.one(p[j]))
                        p[j] = fill;
            }
            changed |= guarded;
        }
    }
    return changed ? picture.rect() : QRect();
}

#ifdef VELMAR_FILL_AVX2
// One row of a block of the global fill, eight pixels at a time with AVX2: |a − t| per byte,
// summed over blue, green and red by two multiply-adds. Returns whether any pixel matched.
__attribute__((target("avx2"))) bool fillRowAvx2(const QRgb* p, QRgb* q, int n, const ToleranceMatch& match, QRgb fill)
{
    const __m256i t = _mm256_set1_epi32(int(match.target));
    const __m256i f = _mm256_set1_epi32(int(fill));
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i weights = _mm256_set1_epi32(0x00010101);  // blue, green, red count; alpha not
    const __m256i ones = _mm256_set1_epi16(1);
    const __m256i limit = _mm256_set1_epi32(match.tolerance);
    const bool aligned = (reinterpret_cast<quintptr>(q) & 31) == 0;
    __m256i any = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i d = _mm256_or_si256(_mm256_subs_epu8(a, t), _mm256_subs_epu8(t, a));
        const __m256i sum = _mm256_madd_epi16(_mm256_maddubs_epi16(d, weights), ones);
        const __m256i far = _mm256_cmpgt_epi32(sum, limit);
        const __m256i isFill = _mm256_cmpeq_epi32(_mm256_or_si256(a, alpha), f);
        const __m256i keep = _mm256_or_si256(far, isFill);
        any = _mm256_or_si256(any, _mm256_andnot_si256(keep, _mm256_set1_epi32(-1)));
        const __m256i v = _mm256_blendv_epi8(f, a, keep);
        if (aligned)
            _mm256_stream_si256(reinterpret_cast<__m256i*>(q + i), v);
        else
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(q + i), v);
    }
    bool matched = !_mm256_testz_si256(any, any);
    for (; i < n; ++i) {
        const bool m = match.one(p[i]);
        q[i] = m ? fill : p[i];
        matched |= m;
    }
    return matched;
}
#endif

std::vector<QRect> fillAllInto(const QImage& from, QImage& to, int tolerance, QRgb target, QRgb fill)
{
    std::vector<QRect> changed;
    target &= kRgbMask;
    fill = (fill & kRgbMask) | 0xFF000000u;
    const int w = from.width(), h = from.height();
    if (from.depth() != 32 || to.size() != from.size() || to.depth() != 32)
        return changed;
    const ToleranceMatch match{target, tolerance, fill & kRgbMask};
    const uchar* const in = from.constBits();
    uchar* const out = to.bits();
    const qsizetype inStride = from.bytesPerLine(), outStride = to.bytesPerLine();
    const bool same = target == (fill & kRgbMask);
#ifdef __SSE2__
    const __m128i f = _mm_set1_epi32(int(fill));
#endif
#ifdef VELMAR_FILL_AVX2
    static const bool avx2 = processorHasAvx2();
#endif
    // A row of blocks at a time, each of its rows read whole (a long run the processor's own
    // prefetching follows; a block's short pieces of 64 rows are more than it follows), noting
    // which blocks changed, so that the list of changed blocks comes out without a second pass.
    // The rows written go straight to memory, past the cache, as nothing reads them soon.
    const int blocksAcross = (w + kFillBlock - 1) / kFillBlock;
    std::vector<char> blockChanged(static_cast<std::size_t>(blocksAcross));
    for (int top = 0; top < h; top += kFillBlock) {
        const int bottom = std::min(h, top + kFillBlock) - 1;
        std::fill(blockChanged.begin(), blockChanged.end(), 0);
        for (int y = top; y <= bottom; ++y) {
            const QRgb* const rowIn = reinterpret_cast<const QRgb*>(in + y * inStride);
            QRgb* const rowOut = reinterpret_cast<QRgb*>(out + y * outStride);
            for (int b = 0; b < blocksAcross; ++b) {
                const int x0 = b * kFillBlock;
                const int n = std::min(kFillBlock, w - x0);
                const QRgb* p = rowIn + x0;
                QRgb* q = rowOut + x0;
                bool any = false;
#ifdef VELMAR_FILL_AVX2
                if (avx2 && !same) {
                    blockChanged[std::size_t(b)] |= char(fillRowAvx2(p, q, n, match, fill));
                    continue;
                }
#endif
                int i = 0;
#ifdef __SSE2__
                const bool aligned = (reinterpret_cast<quintptr>(q) & 15) == 0;
                __m128i anyLane = _mm_setzero_si128();
                for (; i + 4 <= n; i += 4) {
                    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
                    const __m128i m = same ? _mm_setzero_si128() : match.lanes(a);
                    anyLane = _mm_or_si128(anyLane, m);
                    const __m128i v = _mm_or_si128(_mm_and_si128(m, f), _mm_andnot_si128(m, a));
                    if (aligned)
                        _mm_stream_si128(reinterpret_cast<__m128i*>(q + i), v);
                    else
                        _mm_storeu_si128(reinterpret_cast<__m128i*>(q + i), v);
                }
                any |= _mm_movemask_epi8(anyLane) != 0;
#endif
                for (; i < n; ++i) {
                    const bool m = !same && match.one(p[i]);
                    q[i] = m ? fill : p[i];
                    any |= m;
                }
                blockChanged[std::size_t(b)] |= char(any);
            }
        }
        for (int b = 0; b < blocksAcross; ++b)
            if (blockChanged[std::size_t(b)])
                changed.push_back(
                    QRect(b * kFillBlock, top, std::min(kFillBlock, w - b * kFillBlock), bottom - top + 1));
    }
#if defined(__SSE2__) || defined(VELMAR_FILL_AVX2)
    _mm_sfence();
#endif
    return changed;
}

}  // namespace velmar::paint
