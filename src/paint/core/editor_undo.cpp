#include "paint/core/editor_undo.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velmar::paint {

namespace {

constexpr std::size_t kTilePixels = std::size_t(EditorUndo::kTile) * EditorUndo::kTile;

bool sameLayout(const QImage& a, const QImage& b)
{
    return !a.isNull() && a.size() == b.size() && a.format() == b.format() && a.bytesPerLine() == b.bytesPerLine();
}

const QRgb* rowOf(const QImage& img, int y, int x) { return reinterpret_cast<const QRgb*>(img.constScanLine(y)) + x; }
QRgb* rowOf(QImage& img, int y, int x) { return reinterpret_cast<QRgb*>(img.scanLine(y)) + x; }

bool tileEquals(const QRgb* kept, const QImage& picture, const QRect& r)
{
    const std::size_t bytes = std::size_t(r.width()) * 4;
    for (int y = 0; y < r.height(); ++y)
        if (std::memcmp(kept + std::size_t(y) * std::size_t(r.width()), rowOf(picture, r.top() + y, r.left()), bytes)
            != 0)
            return false;
    return true;
}

bool regionEquals(const QImage& a, const QImage& b, const QRect& r)
{
    const std::size_t bytes = std::size_t(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
        if (std::memcmp(rowOf(a, y, r.left()), rowOf(b, y, r.left()), bytes) != 0)
            return false;
    return true;
}

}  // namespace

void EditorUndo::clear()
{
    m_index = 0;
    m_count = 0;
    for (Step& step : m_steps)
        recycle(step);
    dropPending();
    m_lastChange.clear();
    m_spare = QImage();
}

void EditorUndo::ensureGrid(QSize size)
{
    if (size == m_gridSize)
        return;
    m_gridSize = size;
    m_columns = (size.width() + kTile - 1) / kTile;
    const int rows = (size.height() + kTile - 1) / kTile;
    m_tileSlot.assign(std::size_t(m_columns) * std::size_t(rows), -1);
    for (std::size_t i = 0; i < m_pending.size(); ++i) {
        const QRect& r = m_pending[i].rect;
        m_tileSlot[std::size_t(r.top() / kTile) * std::size_t(m_columns) + std::size_t(r.left() / kTile)] = int(i);
    }
}

EditorUndo::Tile EditorUndo::takeTile(const QImage& picture, const QRect& rect)
{
    Tile tile;
    tile.rect = rect;
    if (!m_pool.empty()) {
        tile.pixels = std::move(m_pool.back());
        m_pool.pop_back();
    } else {
        tile.pixels.reset(new QRgb[kTilePixels]);
    }
    const std::size_t bytes = std::size_t(rect.width()) * 4;
    for (int y = 0; y < rect.height(); ++y)
        std::memcpy(tile.pixels.get() + std::size_t(y) * std::size_t(rect.width()),
                    rowOf(picture, rect.top() + y, rect.left()), bytes);
    return tile;
}

void EditorUndo::recycle(Tile& tile)
{
    // The pool holds at most one picture's tiles: what a stroke over the whole picture needs.
    if (tile.pixels && m_pool.size() < m_tileSlot.size())
        m_pool.push_back(std::move(tile.pixels));
    tile.pixels.reset();
}

void EditorUndo::recycle(Step& step)
{
    for (Tile& tile : step.tiles)
        recycle(tile);
    giveSpare(std::move(step.whole));
    step = Step();
}

QImage EditorUndo::spareLike(const QImage& like)
{
    if (sameLayout(m_spare, like) && m_spare.isDetached())
        return std::exchange(m_spare, QImage());
    return QImage(like.size(), like.format());
}

void EditorUndo::giveSpare(QImage buffer)
{
    if (!buffer.isNull() && buffer.isDetached() && buffer.depth() == 32)
        m_spare = std::move(buffer);
}

void EditorUndo::keep(const QImage& picture, const QRect& area, bool changes)
{
    // Nothing recorded yet, or the recorded state kept whole: nothing to keep.
    if (m_index == 0 || m_hasPendingWhole)
        return;
    const QRect r = area.intersected(picture.rect());
    if (r.isEmpty())
        return;
    ensureGrid(picture.size());
    for (int ty = r.top() / kTile; ty <= r.bottom() / kTile; ++ty) {
        for (int tx = r.left() / kTile; tx <= r.right() / kTile; ++tx) {
            int& slot = m_tileSlot[std::size_t(ty) * std::size_t(m_columns) + std::size_t(tx)];
            if (slot < 0) {
                slot = int(m_pending.size());
                const QRect tileRect = QRect(tx * kTile, ty * kTile, kTile, kTile).intersected(picture.rect());
                m_pending.push_back(takeTile(picture, tileRect));
            }
            if (changes)
                m_pending[std::size_t(slot)].changes = true;
        }
    }
}

void EditorUndo::dropPending()
{
    for (Tile& tile : m_pending) {
        const QRect& r = tile.rect;
        if (m_columns > 0)
            m_tileSlot[std::size_t(r.top() / kTile) * std::size_t(m_columns) + std::size_t(r.left() / kTile)] = -1;
        recycle(tile);
    }
    m_pending.clear();
    m_pendingWhole = QImage();
    m_hasPendingWhole = false;
    m_pendingCompare = true;
}

void EditorUndo::putPendingBack(QImage& picture) const
{
    for (const Tile& tile : m_pending) {
        const QRect& r = tile.rect;
        const std::size_t bytes = std::size_t(r.width()) * 4;
        for (int y = 0; y < r.height(); ++y)
            std::memcpy(rowOf(picture, r.top() + y, r.left()),
                        tile.pixels.get() + std::size_t(y) * std::size_t(r.width()), bytes);
    }
}

void EditorUndo::revertPending(QImage& picture)
{
    if (m_hasPendingWhole) {
        picture = std::move(m_pendingWhole);
        m_lastChange.push_back(picture.rect());
    } else {
        putPendingBack(picture);
        for (const Tile& tile : m_pending)
            m_lastChange.push_back(tile.rect);
    }
    dropPending();
}

void EditorUndo::replacing(QImage old, bool compare)
{
    if (m_index == 0) {
        dropPending();
        return;
    }
    if (!m_hasPendingWhole) {
        // The picture replaced, with what was written since the recording taken back, is the
        // recorded state: its buffer is the history's now, nothing is copied.
        if (!m_pending.empty())
            putPendingBack(old);
        dropPending();
        m_pendingWhole = std::move(old);
        m_hasPendingWhole = true;
        m_pendingCompare = compare;
    } else {
        m_pendingCompare = m_pendingCompare && compare;
    }
}

QImage EditorUndo::takeReplaced()
{
    QImage replaced = std::move(m_pendingWhole);
    dropPending();
    return replaced;
}

void EditorUndo::compareWhole(Step& step, QImage before, const QImage& after)
{
    std::vector<QRect> differing;
    const QRect all = after.rect();
    int tiles = 0;
    for (int top = 0; top < after.height(); top += kTile) {
        for (int left = 0; left < after.width(); left += kTile) {
            ++tiles;
            const QRect r = QRect(left, top, kTile, kTile).intersected(all);
            if (!regionEquals(before, after, r))
                differing.push_back(r);
        }
    }
    // Mostly changed: the picture replaced is the step as it is, without copying its tiles.
    if (differing.size() * 2 > std::size_t(tiles)) {
        step.whole = std::move(before);
        return;
    }
    for (const QRect& r : differing)
        step.tiles.push_back(takeTile(before, r));
}

void EditorUndo::addStep(Step step)
{
    // Any redoable states are dropped.
    for (int k = m_index; k < kSlots; ++k)
        recycle(m_steps[std::size_t(k - 1)]);
    if (m_index == kSlots) {
        // Past ten states the oldest is lost: the step out of slot 1 goes, the rest move down.
        recycle(m_steps.front());
        std::rotate(m_steps.begin(), m_steps.begin() + 1, m_steps.end());
        m_steps.back() = std::move(step);
    } else {
        m_steps[std::size_t(m_index - 1)] = std::move(step);
        ++m_index;
    }
    m_count = m_index;
}

void EditorUndo::pushUndo(const QImage& picture)
{
    if (m_index != 0)
        m_undoEnabled = true;
    if (m_index == 0) {
        dropPending();
        for (Step& step : m_steps)
            recycle(step);
        m_index = m_count = 1;
        return;
    }
    Step step;
    if (m_hasPendingWhole) {
        QImage before = std::move(m_pendingWhole);
        m_hasPendingWhole = false;
        if (m_pendingCompare && sameLayout(before, picture) && picture.depth() == 32)
            compareWhole(step, std::move(before), picture);
        else
            step.whole = std::move(before);
    } else {
        ensureGrid(picture.size());
        for (Tile& tile : m_pending) {
            const QRect& r = tile.rect;
            m_tileSlot[std::size_t(r.top() / kTile) * std::size_t(m_columns) + std::size_t(r.left() / kTile)] = -1;
            if (tile.changes || !tileEquals(tile.pixels.get(), picture, r))
                step.tiles.push_back(std::move(tile));
            else
                recycle(tile);
        }
        m_pending.clear();
    }
    dropPending();
    addStep(std::move(step));
}

void EditorUndo::pushTurn(QImage& picture, PictureTurn turn)
{
    if (m_index == 0 || pendingDiffers(picture)) {
        // Drawn on since the last recording: the turn of the recorded state is not the new state,
        // so the picture replaced is kept whole.
        QImage next = turned(picture, turn);
        replacing(std::move(picture), false);
        picture = std::move(next);
        pushUndo(picture);
        return;
    }
    m_undoEnabled = true;
    dropPending();
    turnInPlace(picture, turn, m_spare);
    Step step;
    step.turned = true;
    step.turn = turn;
    addStep(std::move(step));
}

void EditorUndo::applyStep(int k, QImage& picture, bool forward)
{
    Step& step = m_steps[std::size_t(k - 1)];
    if (step.turned) {
        turnInPlace(picture, forward ? step.turn : oppositeTurn(step.turn), m_spare);
        m_lastChange.push_back(picture.rect());
        return;
    }
    if (!step.whole.isNull()) {
        std::swap(picture, step.whole);
        m_lastChange.push_back(picture.rect());
        return;
    }
    for (Tile& tile : step.tiles) {
        const QRect& r = tile.rect;
        for (int y = 0; y < r.height(); ++y) {
            QRgb* shown = rowOf(picture, r.top() + y, r.left());
            QRgb* kept = tile.pixels.get() + std::size_t(y) * std::size_t(r.width());
            std::swap_ranges(shown, shown + r.width(), kept);
        }
        m_lastChange.push_back(r);
    }
}

void EditorUndo::undo(QImage& picture)
{
    const int from = m_index;
    --m_index;
    m_redoEnabled = true;
    if (m_index < 2)
        m_undoEnabled = false;
    if (m_index <= 0)
        m_index = 1;
    // Nothing was ever recorded: there is no state to show.
    if (m_count == 0) {
        m_index = 0;
        m_redoEnabled = false;
    }
    m_lastChange.clear();
    revertPending(picture);
    if (m_index >= 1 && m_index < from)
        applyStep(m_index, picture, false);
}

void EditorUndo::redo(QImage& picture)
{
    const int from = m_index;
    ++m_index;
    m_undoEnabled = true;
    if (m_count - 1 < m_index)
        m_redoEnabled = false;
    if (m_index > m_count) {
        m_index = m_count;
        m_redoEnabled = false;
    }
    m_lastChange.clear();
    revertPending(picture);
    if (from >= 1 && m_index > from)
        applyStep(from, picture, true);
}

bool EditorUndo::pendingDiffers(const QImage& picture) const
{
    if (m_hasPendingWhole)
        return !sameLayout(m_pendingWhole, picture) || !regionEquals(m_pendingWhole, picture, picture.rect());
    return std::any_of(m_pending.begin(), m_pending.end(), [&picture](const Tile& tile) {
        return tile.changes || !tileEquals(tile.pixels.get(), picture, tile.rect);
    });
}

QImage EditorUndo::slot(int i, const QImage& picture) const
{
    if (i < 1 || i > m_count)
        return QImage();
    // The recorded state on screen, then each step's pixels put in on the way to slot i; steps
    // below the current slot hold the older side, those above it the newer.
    QImage img = m_hasPendingWhole ? m_pendingWhole.copy() : picture.copy();
    putPendingBack(img);
    const auto put = [&img](const Step& step, bool forward) {
        if (step.turned) {
            img = turned(img, forward ? step.turn : oppositeTurn(step.turn));
            return;
        }
        if (!step.whole.isNull()) {
            img = step.whole.copy();
            return;
        }
        for (const Tile& tile : step.tiles) {
            const QRect& r = tile.rect;
            for (int y = 0; y < r.height(); ++y)
                std::memcpy(rowOf(img, r.top() + y, r.left()),
                            tile.pixels.get() + std::size_t(y) * std::size_t(r.width()), std::size_t(r.width()) * 4);
        }
    };
    if (i < m_index) {
        for (int k = m_index - 1; k >= i; --k)
            put(m_steps[std::size_t(k - 1)], false);
    } else {
        for (int k = m_index; k < i; ++k)
            put(m_steps[std::size_t(k - 1)], true);
    }
    return img;
}

qint64 EditorUndo::storedBytes() const
{
    constexpr qint64 tileBytes = qint64(kTilePixels) * 4;
    qint64 bytes = qint64(m_pending.size()) * tileBytes + (m_hasPendingWhole ? m_pendingWhole.sizeInBytes() : 0);
    for (const Step& step : m_steps)
        bytes += step.whole.sizeInBytes() + qint64(step.tiles.size()) * tileBytes;
    return bytes;
}

}  // namespace velmar::paint
