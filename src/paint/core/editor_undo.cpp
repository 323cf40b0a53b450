#include "paint/core/editor_undo.h"

#include <algorithm>
#include <cstring>

namespace velmar::paint {

namespace {

// Copies the picture into a slot, reusing the slot's buffer when it has the picture's size and is
// not shared with anything (the slot must never share pixels with the live picture).
void storeInto(QImage& slot, const QImage& picture)
{
    if (slot.size() == picture.size() && slot.format() == picture.format() && !slot.isNull()) {
        uchar* dst = slot.bits();  // detaches if shared
        const qsizetype rowBytes = qsizetype(picture.width()) * 4;
        if (slot.bytesPerLine() == picture.bytesPerLine()) {
            std::memcpy(dst, picture.constBits(), std::size_t(picture.sizeInBytes()));
        } else {
            for (int y = 0; y < picture.height(); ++y)
                std::memcpy(slot.scanLine(y), picture.constScanLine(y), std::size_t(rowBytes));
        }
        return;
    }
    slot = picture.copy();
}

}  // namespace

void EditorUndo::clear()
{
    m_index = 0;
    m_count = 0;
}

void EditorUndo::pushUndo(const QImage& picture)
{
    if (m_index != 0)
        m_undoEnabled = true;
    ++m_index;
    if (m_index > kSlots) {
        // Shift the history down by one: the oldest state is lost and its buffer becomes the
        // newest slot's, so nothing is copied but the new state.
        std::rotate(m_slots.begin(), m_slots.begin() + 1, m_slots.end());
        m_index = kSlots;
    }
    m_count = m_index;
    storeInto(m_slots[std::size_t(m_index - 1)], picture);
}

const QImage& EditorUndo::current() const
{
    static const QImage none;
    return m_index >= 1 ? m_slots[std::size_t(m_index - 1)] : none;
}

const QImage& EditorUndo::undo()
{
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
    return current();
}

const QImage& EditorUndo::redo()
{
    ++m_index;
    m_undoEnabled = true;
    if (m_count - 1 < m_index)
        m_redoEnabled = false;
    if (m_index > m_count) {
        m_index = m_count;
        m_redoEnabled = false;
    }
    return current();
}

}  // namespace velmar::paint
