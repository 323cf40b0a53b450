#pragma once

#include <QImage>
#include <QRect>

#include <array>
#include <vector>

namespace velmar::paint {

// The editor's own short history: up to ten picture states, the one on screen included.
// Slots are numbered 1..10; `index` is the slot on screen (0 before anything is recorded) and
// `count` the newest slot.
//
// Only the state on screen is kept whole. It shares the recorded picture's pixels (Qt copies on
// write) until the first change is recorded, so that starting the history copies nothing; from
// then on it has a buffer of its own, the one of an earlier session where it fits. Between two neighbouring
// states the history keeps the pixels that differ (in 64 × 64 tiles, joined into rectangles
// along each band of tiles), or the whole picture when the size changed. A step holds the pixels
// of the side not on screen: undo and redo swap them with the current state, so moving through
// the history copies only what the step changed, and the memory is one picture plus the changes.
class EditorUndo {
public:
    static constexpr int kSlots = 10;
    static constexpr int kTile = 64;

    // Forgets every state (index and count 0). The menu enabling is left as it was.
    void clear();

    // Records the picture as a new state; drops any redoable states and, past ten, the oldest.
    // The whole picture is compared with the current state.
    void pushUndo(const QImage& picture);
    // The same, when the caller knows that nothing outside `changed` differs from the current
    // state: only that rectangle is compared (a picture of another size is taken whole).
    void pushUndo(const QImage& picture, const QRect& changed);
    // The same for a picture known to differ everywhere (turned, cropped, resized): the state on
    // screen is kept whole as the step, without comparing or copying a pixel.
    void pushReplaced(const QImage& picture);

    // Step back (forward) and return the state to show. At the oldest (newest) state the current
    // state is returned again and the item is disabled.
    const QImage& undo();
    const QImage& redo();
    // The rectangles of the returned state that the last undo or redo changed; the whole picture
    // when its size or format changed.
    const std::vector<QRect>& lastChange() const { return m_lastChange; }

    bool undoEnabled() const { return m_undoEnabled; }
    bool redoEnabled() const { return m_redoEnabled; }
    int index() const { return m_index; }
    int count() const { return m_count; }
    // The state in slot i (1..count), rebuilt on demand for slots other than the current one;
    // a null picture for slots that hold no state. The reference holds until the next call.
    const QImage& slot(int i) const;

    // Bytes of pixels the history holds: the current state and every step.
    qint64 storedBytes() const;

private:
    struct Patch {
        QRect rect;     // where the pixels go
        QImage pixels;  // rect's pixels of the state not on screen
    };
    // What lies between slot k and slot k + 1 (m_steps[k - 1]).
    struct Step {
        QImage whole;                // the whole other state, when the size or format changed
        std::vector<Patch> patches;  // otherwise the differing rectangles
    };

    const QImage& current() const;
    void push(const QImage& picture, const QRect& changed, bool whole);
    // Compares `area` of the picture with the current state tile by tile: the differing
    // rectangles keep the current state's pixels in `step` and take the picture's.
    void record(Step& step, const QImage& picture, const QRect& area);
    // Swaps the step's pixels with the current state's.
    void swapStep(int k);
    // Gives the current state pixels of its own before they are written to.
    void ownState();

    QImage m_state;  // the state in slot m_index
    QImage m_spare;  // a buffer of an earlier state, for the next copy of the same layout
    std::array<Step, kSlots - 1> m_steps;
    std::vector<QRect> m_lastChange;
    mutable QImage m_rebuilt;  // slot() of a state other than the current one
    int m_index = 0;
    int m_count = 0;
    bool m_undoEnabled = false;
    bool m_redoEnabled = false;
};

}  // namespace velmar::paint
