#include "paint/core/editor_undo.h"

#include <algorithm>
#include <cstring>

namespace velmar::paint {

namespace {

int bytesPerPixel(const QImage& img) { return img.depth() / 8; }

// Whether two pictures can be compared pixel row by pixel row: same size, same whole-byte
// pixel format, no colour table.
bool sameLayout(const QImage& a, const QImage& b)
{
    return !a.isNull() && a.size() == b.size() && a.format() == b.format() && a.bytesPerLine() == b.bytesPerLine()
           && a.depth() % 8 == 0 && a.colorCount() == 0 && b.colorCount() == 0;
}

// A copy of `source` with pixels of its own, reusing `buffer` when it has the same layout and
// shares its pixels with nobody (no allocation, no page faults on a large picture).
QImage ownCopy(const QImage& source, QImage buffer)
{
    if (sameLayout(buffer, source) && buffer.isDetached()) {
        std::memcpy(buffer.bits(), source.constBits(), std::size_t(source.sizeInBytes()));
        return buffer;
    }
    return source.copy();
}

// Copies `rect` of `from` (at `fromAt`) into `to` (at `toAt`); both of one pixel format.
void copyPixels(QImage& to, QPoint toAt, const QImage& from, QPoint fromAt, QSize size)
{
    const int bpp = bytesPerPixel(to);
    const std::size_t bytes = std::size_t(size.width()) * std::size_t(bpp);
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(to.scanLine(toAt.y() + y) + toAt.x() * bpp, from.constScanLine(fromAt.y() + y) + fromAt.x() * bpp,
                    bytes);
}

}  // namespace

void EditorUndo::clear()
{
    m_index = 0;
    m_count = 0;
    m_steps = {};
    m_lastChange.clear();
    m_rebuilt = QImage();
    // A buffer of the history's own is kept: the next session's first change of a picture of the
    // same size copies into it instead of into fresh memory.
    if (m_state.isDetached())
        m_spare = std::move(m_state);
    m_state = QImage();
}

void EditorUndo::ownState()
{
    if (m_state.isDetached())
        return;
    m_state = ownCopy(m_state, std::move(m_spare));
    m_spare = QImage();
}

void EditorUndo::pushUndo(const QImage& picture) { pushUndo(picture, picture.rect()); }

void EditorUndo::pushReplaced(const QImage& picture) { push(picture, picture.rect(), true); }

void EditorUndo::pushUndo(const QImage& picture, const QRect& changed) { push(picture, changed, false); }

void EditorUndo::push(const QImage& picture, const QRect& changed, bool whole)
{
    if (m_index != 0)
        m_undoEnabled = true;
    m_rebuilt = QImage();
    if (m_index == 0) {
        if (m_state.isDetached())
            m_spare = std::move(m_state);
        m_state = picture;
        m_steps = {};
        m_index = m_count = 1;
        return;
    }
    // Any redoable states are dropped.
    for (int k = m_index; k < kSlots; ++k)
        m_steps[std::size_t(k - 1)] = Step();
    Step step;
    if (whole || !sameLayout(m_state, picture)) {
        step.whole = std::move(m_state);
        m_state = picture;
    } else {
        record(step, picture, changed.intersected(picture.rect()));
    }
    if (m_index == kSlots) {
        // Past ten states the oldest is lost: the step out of slot 1 goes, the rest move down.
        std::rotate(m_steps.begin(), m_steps.begin() + 1, m_steps.end());
        m_steps.back() = std::move(step);
    } else {
        m_steps[std::size_t(m_index - 1)] = std::move(step);
        ++m_index;
    }
    m_count = m_index;
}

void EditorUndo::record(Step& step, const QImage& picture, const QRect& area)
{
    if (area.isEmpty())
        return;
    const int bpp = bytesPerPixel(picture);
    const int firstTile = area.left() / kTile;
    const int tiles = area.right() / kTile - firstTile + 1;
    std::vector<char> dirty(std::size_t(tiles), 0);
    const auto tileLeft = [&](int t) { return std::max(area.left(), (firstTile + t) * kTile); };
    const auto tileRight = [&](int t) { return std::min(area.right(), (firstTile + t + 1) * kTile - 1); };
    for (int top = area.top(); top <= area.bottom();) {
        const int bottom = std::min(area.bottom(), (top / kTile + 1) * kTile - 1);
        std::fill(dirty.begin(), dirty.end(), 0);
        int dirtyCount = 0;
        for (int y = top; y <= bottom && dirtyCount < tiles; ++y) {
            const uchar* was = m_state.constScanLine(y);
            const uchar* now = picture.constScanLine(y);
            const std::size_t rowStart = std::size_t(area.left()) * std::size_t(bpp);
            if (std::memcmp(was + rowStart, now + rowStart, std::size_t(area.width()) * std::size_t(bpp)) == 0)
                continue;
            for (int t = 0; t < tiles; ++t) {
                if (dirty[std::size_t(t)])
                    continue;
                const std::size_t from = std::size_t(tileLeft(t)) * std::size_t(bpp);
                const std::size_t bytes = std::size_t(tileRight(t) - tileLeft(t) + 1) * std::size_t(bpp);
                if (std::memcmp(was + from, now + from, bytes) != 0) {
                    dirty[std::size_t(t)] = 1;
                    ++dirtyCount;
                }
            }
        }
        // Neighbouring changed tiles of the band make one rectangle.
        for (int t = 0; t < tiles;) {
            if (!dirty[std::size_t(t)]) {
                ++t;
                continue;
            }
            int last = t;
            while (last + 1 < tiles && dirty[std::size_t(last + 1)])
                ++last;
            const QRect rect(QPoint(tileLeft(t), top), QPoint(tileRight(last), bottom));
            ownState();
            Patch patch{rect, QImage(rect.size(), m_state.format())};
            copyPixels(patch.pixels, QPoint(0, 0), m_state, rect.topLeft(), rect.size());
            copyPixels(m_state, rect.topLeft(), picture, rect.topLeft(), rect.size());
            step.patches.push_back(std::move(patch));
            t = last + 1;
        }
        top = bottom + 1;
    }
}

void EditorUndo::swapStep(int k)
{
    ownState();
    Step& step = m_steps[std::size_t(k - 1)];
    if (!step.whole.isNull()) {
        std::swap(m_state, step.whole);
        m_lastChange.push_back(m_state.rect());
        return;
    }
    const int bpp = bytesPerPixel(m_state);
    for (Patch& patch : step.patches) {
        const QRect& r = patch.rect;
        const std::size_t bytes = std::size_t(r.width()) * std::size_t(bpp);
        for (int y = 0; y < r.height(); ++y) {
            uchar* state = m_state.scanLine(r.top() + y) + r.left() * bpp;
            uchar* kept = patch.pixels.scanLine(y);
            std::swap_ranges(state, state + bytes, kept);
        }
        m_lastChange.push_back(r);
    }
}

const QImage& EditorUndo::current() const
{
    static const QImage none;
    return m_index >= 1 ? m_state : none;
}

const QImage& EditorUndo::undo()
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
    m_rebuilt = QImage();
    if (m_index >= 1 && m_index < from)
        swapStep(m_index);
    return current();
}

const QImage& EditorUndo::redo()
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
    m_rebuilt = QImage();
    if (from >= 1 && m_index > from)
        swapStep(from);
    return current();
}

const QImage& EditorUndo::slot(int i) const
{
    if (i == m_index)
        return current();
    m_rebuilt = QImage();
    if (i < 1 || i > m_count)
        return m_rebuilt;
    // Walk from the current state to slot i, putting each step's pixels in; steps below the
    // current slot hold the older side, those above it the newer.
    QImage img = m_state;
    const auto put = [&img](const Step& step) {
        if (!step.whole.isNull()) {
            img = step.whole;
            return;
        }
        for (const Patch& patch : step.patches)
            copyPixels(img, patch.rect.topLeft(), patch.pixels, QPoint(0, 0), patch.rect.size());
    };
    if (i < m_index) {
        for (int k = m_index - 1; k >= i; --k)
            put(m_steps[std::size_t(k - 1)]);
    } else {
        for (int k = m_index; k < i; ++k)
            put(m_steps[std::size_t(k - 1)]);
    }
    m_rebuilt = img;
    return m_rebuilt;
}

qint64 EditorUndo::storedBytes() const
{
    qint64 bytes = m_state.sizeInBytes();
    for (const Step& step : m_steps) {
        bytes += step.whole.sizeInBytes();
        for (const Patch& patch : step.patches)
            bytes += patch.pixels.sizeInBytes();
    }
    return bytes;
}

}  // namespace velmar::paint
