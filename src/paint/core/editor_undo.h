#pragma once

#include <QImage>

#include <array>

namespace velmar::paint {

// The editor's own short history: up to ten whole-picture states, the one on screen included.
// Slots are numbered 1..10; `index` is the slot on screen (0 before anything is recorded) and
// `count` the newest slot. The slot buffers are reused between recordings of the same size, so a
// stroke on a large picture costs one copy at its end and no allocation; a new slot shares the
// picture's pixels until the picture is written.
class EditorUndo {
public:
    static constexpr int kSlots = 10;

    // Forgets every state (index and count 0). The menu enabling is left as it was.
    void clear();

    // Records the picture as a new state; drops any redoable states and, past ten, the oldest.
    void pushUndo(const QImage& picture);

    // Step back (forward) and return the state to show. At the oldest (newest) state the current
    // state is returned again and the item is disabled.
    const QImage& undo();
    const QImage& redo();

    bool undoEnabled() const { return m_undoEnabled; }
    bool redoEnabled() const { return m_redoEnabled; }
    int index() const { return m_index; }
    int count() const { return m_count; }
    // The state in slot i (1..10).
    const QImage& slot(int i) const { return m_slots[std::size_t(i - 1)]; }

private:
    const QImage& current() const;

    std::array<QImage, kSlots> m_slots;
    int m_index = 0;
    int m_count = 0;
    bool m_undoEnabled = false;
    bool m_redoEnabled = false;
};

}  // namespace velmar::paint
