#include "paint/core/picture_transforms.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace velmar::paint {

namespace {

void freeBuffer(void* data) { std::free(data); }

// A picture buffer for a turned picture. A large one is asked for in huge pages where the
// system offers them: first touching 48 MB of new memory a page at a time costs several times
// the turn itself.
QImage newPicture(QSize size, QImage::Format format)
{
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(size.height());
    constexpr std::size_t kHugePage = 2u << 20;
    if (bytes < 4 * kHugePage || size.isEmpty())
        return QImage(size, format);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* data = std::aligned_alloc(kHugePage, rounded);
    if (!data)
        return QImage(size, format);
#ifdef MADV_HUGEPAGE
    madvise(data, rounded, MADV_HUGEPAGE);
#endif
    return QImage(static_cast<uchar*>(data), size.width(), size.height(), bytesPerLine, format, freeBuffer, data);
}

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

// A quarter turn of a 32-bit picture into `out` (its width the source's height and the other
// way round), 64 × 64 pixels at a time: a block is read from the source's rows, turned four by
// four pixels into a buffer small enough to stay in the first-level cache, and written out as
// whole rows of the turned picture, so that memory is read and written in long runs.
void quarterTurnInto(const QImage& source, QImage& out, bool clockwise)
{
    const int w = source.width(), h = source.height();
    const qsizetype inStride = source.bytesPerLine() / 4;
    const qsizetype outStride = out.bytesPerLine() / 4;
    const auto* in = reinterpret_cast<const quint32*>(source.constBits());
    auto* to = reinterpret_cast<quint32*>(out.bits());
    // Where pixel (x, y) goes: clockwise to (h − 1 − y, x), else to (y, w − 1 − x).
    const auto put = [&](int x, int y) {
        if (clockwise)
            to[qsizetype(x) * outStride + (h - 1 - y)] = in[qsizetype(y) * inStride + x];
        else
            to[qsizetype(w - 1 - x) * outStride + y] = in[qsizetype(y) * inStride + x];
    };
    constexpr int kBlock = 64;
    alignas(64) quint32 block[kBlock * kBlock];
    const int wFull = w / kBlock * kBlock, hFull = h / kBlock * kBlock;
    for (int ty = 0; ty < hFull; ty += kBlock) {
        for (int tx = 0; tx < wFull; tx += kBlock) {
            // The block's place in the turned picture: its first row and column there.
            const int rowBase = clockwise ? tx : w - tx - kBlock;
            const int columnBase = clockwise ? h - ty - kBlock : ty;
            const bool nextBlock = tx + kBlock < wFull;
            for (int y = 0; y < kBlock; y += 4) {
#ifdef __SSE2__
                // The next block's rows are asked for early: 64 rows read side by side are more
                // than the processor's own prefetching follows.
                if (nextBlock)
                    for (int k = 0; k < 4; ++k)
                        for (int line = 0; line < kBlock; line += 16)
                            _mm_prefetch(reinterpret_cast<const char*>(in + qsizetype(ty + y + k) * inStride + tx
                                                                       + kBlock + line),
                                         _MM_HINT_T0);
#endif
                for (int x = 0; x < kBlock; x += 4) {
                    const quint32* r = in + qsizetype(ty + y) * inStride + tx + x;
#ifdef __SSE2__
                    // Four rows of four pixels; clockwise the rows are taken bottom up, so that
                    // each column comes out in the order the turned row shows it.
                    __m128i a[4];
                    for (int k = 0; k < 4; ++k)
                        a[k] = _mm_loadu_si128(
                            reinterpret_cast<const __m128i*>(r + qsizetype(clockwise ? 3 - k : k) * inStride));
                    const __m128i t0 = _mm_unpacklo_epi32(a[0], a[1]);
                    const __m128i t1 = _mm_unpackhi_epi32(a[0], a[1]);
                    const __m128i t2 = _mm_unpacklo_epi32(a[2], a[3]);
                    const __m128i t3 = _mm_unpackhi_epi32(a[2], a[3]);
                    const __m128i c[4] = {_mm_unpacklo_epi64(t0, t2), _mm_unpackhi_epi64(t0, t2),
                                          _mm_unpacklo_epi64(t1, t3), _mm_unpackhi_epi64(t1, t3)};
                    for (int i = 0; i < 4; ++i) {
                        quint32* d = clockwise ? block + (x + i) * kBlock + (kBlock - 4 - y)
                                               : block + (kBlock - 1 - x - i) * kBlock + y;
                        _mm_store_si128(reinterpret_cast<__m128i*>(d), c[i]);
                    }
#else
                    for (int j = 0; j < 4; ++j)
                        for (int i = 0; i < 4; ++i) {
                            const quint32 v = r[qsizetype(j) * inStride + i];
                            if (clockwise)
                                block[(x + i) * kBlock + (kBlock - 1 - y - j)] = v;
                            else
                                block[(kBlock - 1 - x - i) * kBlock + y + j] = v;
                        }
#endif
                }
            }
            for (int i = 0; i < kBlock; ++i)
                std::memcpy(to + qsizetype(rowBase + i) * outStride + columnBase, block + i * kBlock, kBlock * 4);
        }
    }
    // The last columns and rows that make no whole block.
    for (int y = 0; y < h; ++y)
        for (int x = (y < hFull ? wFull : 0); x < w; ++x)
            put(x, y);
}

QImage quarterTurn(const QImage& source, bool clockwise)
{
    QImage out = newPicture(QSize(source.height(), source.width()), source.format());
    if (!out.isNull())
        quarterTurnInto(source, out, clockwise);
    return out;
}

void releaseHolder(void* holder) { delete static_cast<QImage*>(holder); }

// A picture of `size` in the memory of `spare` when that is large enough and shared with nobody
// (the spare is taken), else in memory of its own.
QImage pictureInBuffer(QImage& spare, QSize size, QImage::Format format)
{
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    if (spare.isNull() || !spare.isDetached() || spare.sizeInBytes() < bytesPerLine * size.height())
        return newPicture(size, format);
    auto* holder = new QImage(std::move(spare));
    spare = QImage();
    return QImage(holder->bits(), size.width(), size.height(), bytesPerLine, format, releaseHolder, holder);
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
            std::reverse(row(y), row(y) + w);
        return;
    }
    for (int y = 0; y < h / 2; ++y) {
        quint32* a = row(y);
        quint32* b = row(h - 1 - y);
        if (!leftToRight) {
            std::swap_ranges(a, a + w, b);
            continue;
        }
        // A half turn: row y becomes row h − 1 − y read backwards, and the other way round.
        for (int x = 0; x < w; ++x)
            std::swap(a[x], b[w - 1 - x]);
    }
    if (leftToRight && h % 2 == 1)
        std::reverse(row(h / 2), row(h / 2) + w);
}

}  // namespace

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
        QImage out = pictureInBuffer(spare, QSize(picture.height(), picture.width()), picture.format());
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

QImage resampled(const QImage& image, QSize size)
{
    if (image.size() == size)
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace velmar::paint
