#include "paint/core/flood_fill.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <vector>

namespace velmar::paint {

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFFu;

// Pixels that the fill may still take: "exactly the target colour" or "within the tolerance of
// the target and not yet the fill colour". Filled pixels leave the set, so the picture itself
// records which pixels are done.
struct ExactMatch {
    QRgb target;
    bool operator()(QRgb p) const { return (p & kRgbMask) == target; }
};

struct ToleranceMatch {
    int r, g, b, tolerance;
    QRgb fill;
    bool operator()(QRgb p) const
    {
        if ((p & kRgbMask) == fill)
            return false;
        const int d = std::abs(int((p >> 16) & 0xFF) - r) + std::abs(int((p >> 8) & 0xFF) - g) +
                      std::abs(int(p & 0xFF) - b);
        return d <= tolerance;
    }
};

// Scanline fill driven by a one-bit-per-pixel seed mask and a stack of rows that hold seeds.
// Processing a row expands each live seed to its whole run in that row, fills the run and seeds
// the first pixel of every run above and below it that may still be filled.
template <typename Match>
QRect scanlineFill(QImage& picture, QPoint start, QRgb fill, Match match)
{
    const int w = picture.width();
    const int h = picture.height();
    const qsizetype stride = picture.bytesPerLine() / 4;
    QRgb* const base = reinterpret_cast<QRgb*>(picture.bits());
    if (!match(base[start.y() * stride + start.x()]))
        return {};

    const int wordsPerRow = (w + 63) / 64;
    std::vector<quint64> seeds(std::size_t(wordsPerRow) * std::size_t(h), 0);
    std::vector<char> pending(std::size_t(h), 0);
    std::vector<int> rows;
    rows.reserve(64);

    auto seedRow = [&](int y, int x) {
        seeds[std::size_t(y) * std::size_t(wordsPerRow) + std::size_t(x >> 6)] |= quint64(1) << (x & 63);
        if (!pending[std::size_t(y)]) {
            pending[std::size_t(y)] = 1;
            rows.push_back(y);
        }
    };
    // Seeds every run of fillable pixels of row y within [x1, x2].
    auto seedRuns = [&](int y, int x1, int x2) {
        const QRgb* line = base + y * stride;
        bool inRun = false;
        for (int x = x1; x <= x2; ++x) {
            const bool m = match(line[x]);
            if (m && !inRun)
                seedRow(y, x);
            inRun = m;
        }
    };

    int minX = start.x(), maxX = start.x(), minY = start.y(), maxY = start.y();
    seedRow(start.y(), start.x());
    while (!rows.empty()) {
        const int y = rows.back();
        rows.pop_back();
        pending[std::size_t(y)] = 0;
        QRgb* line = base + y * stride;
        quint64* rowSeeds = &seeds[std::size_t(y) * std::size_t(wordsPerRow)];
        for (int word = 0; word < wordsPerRow; ++word) {
            while (rowSeeds[word]) {
                const int x = word * 64 + std::countr_zero(rowSeeds[word]);
                rowSeeds[word] &= rowSeeds[word] - 1;
                if (!match(line[x]))
                    continue;
                int xl = x;
                while (xl > 0 && match(line[xl - 1]))
                    --xl;
                int xr = x;
                while (xr + 1 < w && match(line[xr + 1]))
                    ++xr;
                std::fill(line + xl, line + xr + 1, fill);
                minX = std::min(minX, xl);
                maxX = std::max(maxX, xr);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
                if (y > 0)
                    seedRuns(y - 1, xl, xr);
                if (y + 1 < h)
                    seedRuns(y + 1, xl, xr);
            }
        }
    }
    return QRect(QPoint(minX, minY), QPoint(maxX, maxY));
}

}  // namespace

int colourDistance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

QRect floodFillExact(QImage& picture, QPoint start, QRgb fill)
{
    if (!picture.rect().contains(start) || picture.depth() != 32)
        return {};
    const QRgb target = picture.pixel(start) & kRgbMask;
    fill = (fill & kRgbMask) | 0xFF000000u;
    if (target == (fill & kRgbMask))
        return {};
    return scanlineFill(picture, start, fill, ExactMatch{target});
}

QRect fillWithTolerance(QImage& picture, QPoint start, int tolerance, QRgb target, QRgb fill,
                        bool all)
{
    target &= kRgbMask;
    fill = (fill & kRgbMask) | 0xFF000000u;
    if (target == (fill & kRgbMask) || picture.depth() != 32 || picture.isNull())
        return {};
    const int tr = qRed(target), tg = qGreen(target), tb = qBlue(target);
    if (!all) {
        if (!picture.rect().contains(start))
            return {};
        return scanlineFill(picture, start, fill,
                            ToleranceMatch{tr, tg, tb, tolerance, fill & kRgbMask});
    }

    // Every matching pixel, row by row; the loop is branch-free so the compiler can vectorise it.
    // A global fill may touch any row, so the whole picture is reported when anything changed.
    const int w = picture.width();
    const QRgb fillRgb = fill & kRgbMask;
    unsigned changed = 0;
    for (int y = 0; y < picture.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            const int d = std::abs(int((p >> 16) & 0xFF) - tr) +
                          std::abs(int((p >> 8) & 0xFF) - tg) + std::abs(int(p & 0xFF) - tb);
            const unsigned m = unsigned(d <= tolerance) & unsigned((p & kRgbMask) != fillRgb);
            changed |= m;
            line[x] = m ? fill : p;
        }
    }
    return changed ? picture.rect() : QRect();
}

}  // namespace velmar::paint
