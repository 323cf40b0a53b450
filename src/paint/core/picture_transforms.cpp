#include "paint/core/picture_transforms.h"

#include "paint/core/cpu_features.h"
#include "paint/core/picture_memory.h"
#include "paint/core/transpose_avx2.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VELMAR_TURN_AVX2 1
#endif

namespace velmar::paint {

namespace {

VectorWidth g_vectorWidth = VectorWidth::Widest;

bool useAvx2()
{
#ifdef VELMAR_TURN_AVX2
    static const bool avx2 = processorHasAvx2();
    return avx2 && g_vectorWidth == VectorWidth::Widest;
#else
    return false;
#endif
}

QImage newPicture(QSize size, QImage::Format format) { return newPictureMemory(size, format); }

// The picture mirrored left to right, top to bottom or both (a half turn), a row at a time.
QImage mirroredRows(const QImage& source, bool leftToRight, bool topToBottom)
{
    const int w = source.width(), h = source.height();
    QImage out = newPicture(source.size(), source.format());
    if (out.isNull())
        return out;
    for (int y = 0; y < h; ++y) {
        const auto* from = reinterpret_cast<const quint32*>(source.constScanLine(y));
        auto* to = reinterpret_cast<quint32*>(out.scanLine(topToBottom ? h - 1 - y : y));
        if (leftToRight)
            std::reverse_copy(from, from + w, to);
        else
            std::memcpy(to, from, std::size_t(w) * 4);
    }
    return out;
}

// A quarter turn of a 32-bit picture: pixel (x, y) of a w × h picture goes clockwise to
// (h − 1 − y, x), the other way to (y, w − 1 − x).
struct QuarterTurn {
    const quint32* in;
    qsizetype inStride;  // in pixels
    quint32* out;
    qsizetype outStride;
    int w, h;
    bool clockwise;

    void one(int x, int y) const
    {
        if (clockwise)
            out[qsizetype(x) * outStride + (h - 1 - y)] = in[qsizetype(y) * inStride + x];
        else
            out[qsizetype(w - 1 - x) * outStride + y] = in[qsizetype(y) * inStride + x];
    }
    // The pixels that make no whole square of the kernel: columns from `xEnd` on, rows from
    // `yEnd` on.
    void rest(int xEnd, int yEnd) const
    {
        for (int y = 0; y < h; ++y)
            for (int x = (y < yEnd ? xEnd : 0); x < w; ++x)
                one(x, y);
    }
};

// The source is read in stripes of 16 rows across the whole width; each square of N × N pixels
// is transposed in registers and written as N runs of N pixels of the turned rows. A stripe
// writes 64 bytes of each turned row, a whole cache line, which goes straight to memory (a
// non-temporal store: nothing reads it soon, and the line is not fetched first). The rows of the
// stripe are asked for ahead, as the processor's own prefetching follows fewer rows read side by
// side.
//
// Squares of N × N pixels, `Groups` of them down a stripe: the source rows in the order a square
// loads them (clockwise bottom up, so that each column comes out in the order the turned row
// shows it), and where column 0 of the stripe's first square goes.
template <int N, int Groups>
struct TurnStripe {
    static constexpr int kRows = N * Groups;
    static constexpr int kAhead = 64;  // pixels
    const quint32* src[kRows];
    quint32* first;
    qsizetype columnStep;  // from a source column's turned row to the next one's
    qsizetype groupStep;   // from a square's place in the turned rows to the next square's

    TurnStripe(const QuarterTurn& t, int y0)
    {
        for (int j = 0; j < kRows; ++j) {
            const int g = j / N, k = j % N;
            const int y = t.clockwise ? y0 + N * g + N - 1 - k : y0 + N * g + k;
            src[j] = t.in + qsizetype(y) * t.inStride;
        }
        first = t.clockwise ? t.out + (t.h - y0 - N) : t.out + qsizetype(t.w - 1) * t.outStride + y0;
        columnStep = t.clockwise ? t.outStride : -t.outStride;
        groupStep = t.clockwise ? -N : N;
    }
#ifdef __SSE2__
    // Always inlined: GCC takes a function that only prefetches for one without effects, and
    // drops the calls to it before it would inline them.
    __attribute__((always_inline)) void prefetch(int x, int w) const
    {
        if (x % 16 != 0 || x + kAhead >= w)
            return;
        for (int j = 0; j < kRows; ++j)
            _mm_prefetch(reinterpret_cast<const char*>(src[j] + x + kAhead), _MM_HINT_T0);
    }
    // The same for a stripe read from right to left.
    __attribute__((always_inline)) void prefetchLeftward(int x) const
    {
        if (x % 16 != 0 || x < kAhead)
            return;
        for (int j = 0; j < kRows; ++j)
            _mm_prefetch(reinterpret_cast<const char*>(src[j] + x - kAhead), _MM_HINT_T0);
    }
#endif
};

#ifdef __SSE2__
inline void storeStream16(quint32* d, __m128i v)
{
    if ((reinterpret_cast<quintptr>(d) & 15) == 0)
        _mm_stream_si128(reinterpret_cast<__m128i*>(d), v);
    else
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
}

template <int Groups>
void quarterTurnStripeSse2(const QuarterTurn& t, int y0, int w4)
{
    const TurnStripe<4, Groups> s(t, y0);
    for (int x = 0; x < w4; x += 4) {
        s.prefetch(x, t.w);
        quint32* d = s.first + qsizetype(x) * s.columnStep;
#pragma GCC unroll 4
        for (int g = 0; g < Groups; ++g, d += s.groupStep) {
            const quint32* const* rows = s.src + 4 * g;
            const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[0] + x));
            const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[1] + x));
            const __m128i a2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2] + x));
            const __m128i a3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[3] + x));
            const __m128i t0 = _mm_unpacklo_epi32(a0, a1);
            const __m128i t1 = _mm_unpackhi_epi32(a0, a1);
            const __m128i t2 = _mm_unpacklo_epi32(a2, a3);
            const __m128i t3 = _mm_unpackhi_epi32(a2, a3);
            storeStream16(d, _mm_unpacklo_epi64(t0, t2));
            storeStream16(d + s.columnStep, _mm_unpackhi_epi64(t0, t2));
            storeStream16(d + 2 * s.columnStep, _mm_unpacklo_epi64(t1, t3));
            storeStream16(d + 3 * s.columnStep, _mm_unpackhi_epi64(t1, t3));
        }
    }
}

void quarterTurnSse2(const QuarterTurn& t)
{
    const int w4 = t.w / 4 * 4;
    int y0 = 0;
    for (; y0 + 16 <= t.h; y0 += 16)
        quarterTurnStripeSse2<4>(t, y0, w4);
    for (; y0 + 4 <= t.h; y0 += 4)
        quarterTurnStripeSse2<1>(t, y0, w4);
    _mm_sfence();
    t.rest(w4, y0);
}
#endif

#ifdef VELMAR_TURN_AVX2
__attribute__((target("avx2"))) inline void storeStream32(quint32* d, __m256i v)
{
    const quintptr at = reinterpret_cast<quintptr>(d);
    if ((at & 31) == 0) {
        _mm256_stream_si256(reinterpret_cast<__m256i*>(d), v);
    } else if ((at & 15) == 0) {
        _mm_stream_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(v));
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + 4), _mm256_extracti128_si256(v, 1));
    } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), v);
    }
}

// The square whose rows start at rows[0..7] + x, transposed: out[k] is its column k.
__attribute__((target("avx2"), always_inline)) inline void transposeSquare(const quint32* const* rows, int x,
                                                                           __m256i* out)
{
    for (int k = 0; k < 8; ++k)
        out[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k] + x));
    transpose8(out);
}

__attribute__((target("avx2"))) void quarterTurnStripeAvx2(const QuarterTurn& t, int y0, int w8)
{
    const TurnStripe<8, 1> s(t, y0);
    for (int x = 0; x < w8; x += 8) {
        s.prefetch(x, t.w);
        quint32* d = s.first + qsizetype(x) * s.columnStep;
        __m256i square[8];
        transposeSquare(s.src, x, square);
        for (int k = 0; k < 8; ++k)
            storeStream32(d + k * s.columnStep, square[k]);
    }
}

// The whole stripes of 16 rows. A stripe gives each turned row 16 pixels, 64 bytes, stored one
// after the other so that the processor's write-combining sends a whole cache line to memory.
// Where the turned rows are not whole lines apart (a row of 3000 pixels is 187.5 lines), every
// other row's 64 bytes straddle two lines: the half that completes a line with the half the
// previous stripe left is stored with it, and the other half is carried on to the next stripe.
// A line left half written costs memory a read, a merge and a write instead of one write.
//
// The turned rows are written in the order they lie in memory: clockwise, source column x is
// turned row x; the other way round it is row w − 1 − x, so the stripe is read from right to
// left and asked for ahead on its left. Written from the last row back to the first, a turn the
// other way took a tenth longer than a clockwise one.
template <bool Clockwise>
__attribute__((target("avx2"))) void quarterTurnStripesAvx2(const QuarterTurn& turn, int w8, quint32* carried)
{
    // A copy the stores below cannot be taken to change.
    const QuarterTurn t = turn;
    bool firstStripe = true;
    int y0 = 0;
    for (; y0 + 16 <= t.h; y0 += 16, firstStripe = false) {
        const TurnStripe<8, 2> s(t, y0);
        for (int i = 0; i < w8; i += 8) {
            const int x = Clockwise ? i : w8 - 8 - i;
            if constexpr (Clockwise)
                s.prefetch(x, t.w);
            else
                s.prefetchLeftward(x);
            quint32* d = s.first + qsizetype(x) * s.columnStep;
            __m256i a[8], b[8];
            transposeSquare(s.src, x, a);
            transposeSquare(s.src + 8, x, b);
            for (int j = 0; j < 8; ++j) {
                const int k = Clockwise ? j : 7 - j;
                // The 16 pixels of turned row x + k, low and high in memory.
                quint32* at = d + k * s.columnStep;
                quint32* low = Clockwise ? at - 8 : at;
                const __m256i lowHalf = Clockwise ? b[k] : a[k];
                const __m256i highHalf = Clockwise ? a[k] : b[k];
                const quintptr phase = reinterpret_cast<quintptr>(low) & 63;
                if (phase == 0) {
                    _mm256_stream_si256(reinterpret_cast<__m256i*>(low), lowHalf);
                    _mm256_stream_si256(reinterpret_cast<__m256i*>(low + 8), highHalf);
                    continue;
                }
                if (phase != 32 || !carried) {
                    storeStream32(low, lowHalf);
                    storeStream32(low + 8, highHalf);
                    continue;
                }
                // Clockwise the stripes go down through memory: the previous stripe lies above,
                // so the high half completes its line; the other way round the low half does.
                auto* carry = reinterpret_cast<__m256i*>(carried + qsizetype(x + k) * 8);
                if constexpr (Clockwise) {
                    if (firstStripe) {
                        _mm256_storeu_si256(reinterpret_cast<__m256i*>(low + 8), highHalf);
                    } else {
                        _mm256_stream_si256(reinterpret_cast<__m256i*>(low + 8), highHalf);
                        _mm256_stream_si256(reinterpret_cast<__m256i*>(low + 16), _mm256_load_si256(carry));
                    }
                    _mm256_store_si256(carry, lowHalf);
                } else {
                    if (firstStripe) {
                        _mm256_storeu_si256(reinterpret_cast<__m256i*>(low), lowHalf);
                    } else {
                        _mm256_stream_si256(reinterpret_cast<__m256i*>(low - 8), _mm256_load_si256(carry));
                        _mm256_stream_si256(reinterpret_cast<__m256i*>(low), lowHalf);
                    }
                    _mm256_store_si256(carry, highHalf);
                }
            }
        }
    }
    if (firstStripe || !carried)
        return;
    // The halves the last stripe carried go where they belong, next to its pixels.
    const TurnStripe<8, 2> last(t, y0 - 16);
    for (int x = 0; x < w8; ++x) {
        quint32* at = last.first + qsizetype(x) * last.columnStep;
        quint32* low = Clockwise ? at - 8 : at;
        if ((reinterpret_cast<quintptr>(low) & 63) != 32)
            continue;
        const __m256i carry = _mm256_load_si256(reinterpret_cast<const __m256i*>(carried + qsizetype(x) * 8));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Clockwise ? low : low + 8), carry);
    }
}

__attribute__((target("avx2"))) void quarterTurnAvx2(const QuarterTurn& t)
{
    const int w8 = t.w / 8 * 8;
    if (t.h >= 16 && w8 > 0) {
        // Eight pixels carried for each turned row (without that memory, the halves are stored
        // as they come).
        auto* carried = static_cast<quint32*>(std::aligned_alloc(32, std::size_t(w8) * 32));
        if (t.clockwise)
            quarterTurnStripesAvx2<true>(t, w8, carried);
        else
            quarterTurnStripesAvx2<false>(t, w8, carried);
        std::free(carried);
    }
    for (int y0 = t.h / 16 * 16; y0 + 8 <= t.h; y0 += 8)
        quarterTurnStripeAvx2(t, y0, w8);
    _mm_sfence();
    t.rest(w8, t.h / 8 * 8);
}
#endif

// A quarter turn of a 32-bit picture into `out` (its width the source's height and the other
// way round).
void quarterTurnInto(const QImage& source, QImage& out, bool clockwise)
{
    const QuarterTurn t{reinterpret_cast<const quint32*>(source.constBits()),
                        source.bytesPerLine() / 4,
                        reinterpret_cast<quint32*>(out.bits()),
                        out.bytesPerLine() / 4,
                        source.width(),
                        source.height(),
                        clockwise};
#ifdef VELMAR_TURN_AVX2
    if (useAvx2()) {
        quarterTurnAvx2(t);
        return;
    }
#endif
#ifdef __SSE2__
    if (g_vectorWidth != VectorWidth::Scalar) {
        quarterTurnSse2(t);
        return;
    }
#endif
    t.rest(0, 0);
}

QImage quarterTurn(const QImage& source, bool clockwise)
{
    QImage out = newPicture(QSize(source.height(), source.width()), source.format());
    if (!out.isNull())
        quarterTurnInto(source, out, clockwise);
    return out;
}

#ifdef VELMAR_TURN_AVX2
// swapReversed() eight pixels at a time; returns how many it swapped.
__attribute__((target("avx2"))) int swapReversedAvx2(quint32* a, quint32* b, int n, int count)
{
    const __m256i backwards = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        auto* pa = reinterpret_cast<__m256i*>(a + x);
        auto* pb = reinterpret_cast<__m256i*>(b + n - 8 - x);
        const __m256i va = _mm256_loadu_si256(pa);
        const __m256i vb = _mm256_loadu_si256(pb);
        _mm256_storeu_si256(pa, _mm256_permutevar8x32_epi32(vb, backwards));
        _mm256_storeu_si256(pb, _mm256_permutevar8x32_epi32(va, backwards));
    }
    return x;
}
#endif

// Swaps a[x] with b[n − 1 − x] for x below `count`: with a and b the same row and count half
// its length this reverses the row; with two rows, it half-turns them into each other's place.
void swapReversed(quint32* a, quint32* b, int n, int count)
{
    int x = 0;
#ifdef VELMAR_TURN_AVX2
    if (useAvx2())
        x = swapReversedAvx2(a, b, n, count);
#endif
#ifdef __SSE2__
    if (g_vectorWidth != VectorWidth::Scalar) {
        for (; x + 4 <= count; x += 4) {
            auto* pa = reinterpret_cast<__m128i*>(a + x);
            auto* pb = reinterpret_cast<__m128i*>(b + n - 4 - x);
            const __m128i va = _mm_loadu_si128(pa);
            const __m128i vb = _mm_loadu_si128(pb);
            _mm_storeu_si128(pa, _mm_shuffle_epi32(vb, _MM_SHUFFLE(0, 1, 2, 3)));
            _mm_storeu_si128(pb, _mm_shuffle_epi32(va, _MM_SHUFFLE(0, 1, 2, 3)));
        }
    }
#endif
    for (; x < count; ++x)
        std::swap(a[x], b[n - 1 - x]);
}

// Swaps two rows of n pixels.
void swapRows(quint32* a, quint32* b, int n)
{
    int x = 0;
#ifdef __SSE2__
    for (; x + 4 <= n && g_vectorWidth != VectorWidth::Scalar; x += 4) {
        auto* pa = reinterpret_cast<__m128i*>(a + x);
        auto* pb = reinterpret_cast<__m128i*>(b + x);
        const __m128i va = _mm_loadu_si128(pa);
        _mm_storeu_si128(pa, _mm_loadu_si128(pb));
        _mm_storeu_si128(pb, va);
    }
#endif
    for (; x < n; ++x)
        std::swap(a[x], b[x]);
}

// Mirrors a 32-bit picture where it lies: each pixel is read and written once.
void mirrorInPlace(QImage& picture, bool leftToRight, bool topToBottom)
{
    const int w = picture.width(), h = picture.height();
    if (w == 0 || h == 0)
        return;
    auto* const base = reinterpret_cast<quint32*>(picture.bits());
    const qsizetype stride = picture.bytesPerLine() / 4;
    const auto row = [&](int y) { return base + qsizetype(y) * stride; };
    if (!topToBottom) {
        for (int y = 0; y < h; ++y)
            swapReversed(row(y), row(y), w, w / 2);
        return;
    }
    for (int y = 0; y < h / 2; ++y) {
        // A half turn: row y becomes row h − 1 − y read backwards, and the other way round.
        if (leftToRight)
            swapReversed(row(y), row(h - 1 - y), w, w);
        else
            swapRows(row(y), row(h - 1 - y), w);
    }
    if (leftToRight && h % 2 == 1)
        swapReversed(row(h / 2), row(h / 2), w, w / 2);
}

}  // namespace

void limitVectorWidth(VectorWidth width) { g_vectorWidth = width; }

VectorWidth vectorWidth() { return g_vectorWidth; }

QImage turned(const QImage& image, PictureTurn turn)
{
    const bool wholeWords = image.depth() == 32;
    switch (turn) {
    case PictureTurn::Right90:
        return wholeWords ? quarterTurn(image, true) : image.transformed(QTransform().rotate(90));
    case PictureTurn::Left90:
        return wholeWords ? quarterTurn(image, false) : image.transformed(QTransform().rotate(270));
    case PictureTurn::Half: return wholeWords ? mirroredRows(image, true, true) : image.mirrored(true, true);
    case PictureTurn::FlipHorizontal:
        return wholeWords ? mirroredRows(image, true, false) : image.mirrored(true, false);
    case PictureTurn::FlipVertical: return wholeWords ? mirroredRows(image, false, true) : image.mirrored(false, true);
    }
    return image;
}

PictureTurn oppositeTurn(PictureTurn turn)
{
    switch (turn) {
    case PictureTurn::Right90: return PictureTurn::Left90;
    case PictureTurn::Left90: return PictureTurn::Right90;
    default: return turn;
    }
}

void turnInPlace(QImage& picture, PictureTurn turn, QImage& spare)
{
    if (picture.depth() != 32 || picture.isNull()) {
        picture = turned(picture, turn);
        return;
    }
    switch (turn) {
    case PictureTurn::Right90:
    case PictureTurn::Left90: {
        QImage out = pictureInMemoryOf(spare, QSize(picture.height(), picture.width()), picture.format());
        if (out.isNull())
            return;
        quarterTurnInto(picture, out, turn == PictureTurn::Right90);
        spare = std::move(picture);
        picture = std::move(out);
        return;
    }
    case PictureTurn::Half: mirrorInPlace(picture, true, true); return;
    case PictureTurn::FlipHorizontal: mirrorInPlace(picture, true, false); return;
    case PictureTurn::FlipVertical: mirrorInPlace(picture, false, true); return;
    }
}

QSize resizedSize(QSize original, const ResizeRequest& request)
{
    const auto side = [](double v) { return int(std::clamp<double>(std::lrint(v), 1, kMaxPictureSide)); };
    double width = request.percent ? original.width() * request.width / 100.0 : request.width;
    double height = request.percent ? original.height() * request.height / 100.0 : request.height;
    if (request.keepAspect && original.width() > 0) {
        height = request.percent ? original.height() * request.width / 100.0
                                 : double(width) * original.height() / original.width();
    }
    return {side(width), side(height)};
}

}  // namespace velmar::paint
