#include "paint/core/editor_undo.h"

#include <algorithm>
#include <cstring>

namespace velmar::paint {

namespace {

// Records the picture in a slot. A slot that already holds a buffer of the picture's size gets
// the pixels copied into it (no allocation); an empty slot or one of another size shares the
// picture's pixels, which Qt copies when the picture is next written.
void storeInto(QImage& slot, const QImage& picture)
{
    if (slot.constBits() == picture.constBits())
        return;   // already the same pixels
    if (slot.size() == picture.size() && slot.format() == picture.format() &&
        slot.bytesPerLine() == picture.bytesPerLine() && !slot.isNull()) {
        std::memcpy(slot.bits(), picture.constBits(), std::size_t(picture.sizeInBytes()));
        return;
    }
    slot = picture;
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
