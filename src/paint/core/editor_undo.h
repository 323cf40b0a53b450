#pragma once

#include "paint/core/picture_transforms.h"

#include <QImage>
#include <QRect>

#include <array>
#include <memory>
#include <vector>

namespace velmar::paint {

// The editor's own short history: up to ten picture states, the one on screen included.
// Slots are numbered 1..10; `index` is the slot on screen (0 before anything is recorded) and
// `count` the newest slot.
//
// The history keeps no picture of its own: the picture on screen is the state in slot `index`,
// apart from what was written since it was recorded. Whoever writes into the picture tells the
// history first (keep()): the first time a tile of kTile × kTile pixels is touched after a
// recording, its pixels are kept (copy on write). Recording compares only the kept tiles, and
// the ones that differ make the step between the two states; the others go back to a pool the
// next strokes take their buffers from, so that drawing after the first few strokes touches no
// fresh memory. A picture replaced whole (another size, opened, cropped) leaves the whole picture
// replaced as its step, without a copy; a turn or a flip leaves no pixels at all, undone by the
// opposite turn. A step holds the pixels of the side not on screen: undo and redo swap them with
// the picture's, so moving through the history copies only what the step changed, and the memory
// is the picture plus the changed tiles.
class EditorUndo {
public:
    static constexpr int kSlots = 10;
    static constexpr int kTile = 64;

    // Forgets every state (index and count 0). The menu enabling is left as it was.
    void clear();

    // Before `area` of the picture on screen is written: the tiles of the area not kept since the
    // last recording keep their pixels. With `changes`, every tile of the area will differ from
    // what it was (the recording then takes it without comparing).
    void keep(const QImage& picture, const QRect& area, bool changes = false);
    // The picture on screen is about to be replaced whole by another; `old` is the picture
    // replaced, which the history takes as the recorded state unless it has that already. With
    // `compare`, the next recording keeps only the tiles that differ when the two have one size.
    void replacing(QImage old, bool compare = true);

    // A buffer of the layout of `like` (a 32-bit picture), its pixels to be overwritten: the
    // buffer of a picture the history no longer needs where it has one, else new memory.
    QImage spareLike(const QImage& like);
    // Keeps a picture buffer nobody needs any more for the next spareLike() or quarter turn.
    void giveSpare(QImage buffer);
    // That buffer (null when there is none), for a routine writing a new picture of another
    // layout, which takes it where its memory is large enough.
    QImage& spareBuffer() { return m_spare; }

    // The picture replaced whole since the last recording, which the history held (null when
    // it holds none); the history then holds the recorded state no more.
    QImage takeReplaced();

    // Records the picture as a new state; drops any redoable states and, past ten, the oldest.
    // Only the kept tiles are compared (or the picture replaced, see replacing()).
    void pushUndo(const QImage& picture);
    // Turns the picture (in place where the turn allows, else into a buffer kept from an earlier
    // turn) and records the turned picture as a new state, kept as the turn alone; where the
    // picture was drawn on since the last recording, the picture replaced is kept whole instead.
    void pushTurn(QImage& picture, PictureTurn turn);

    // Step back (forward): the picture becomes the state to show. What was written since the last
    // recording is taken back first. At the oldest (newest) state the item is disabled.
    void undo(QImage& picture);
    void redo(QImage& picture);
    // The rectangles of the picture that the last undo or redo changed; the whole picture when
    // its size or content changed whole.
    const std::vector<QRect>& lastChange() const { return m_lastChange; }

    bool undoEnabled() const { return m_undoEnabled; }
    bool redoEnabled() const { return m_redoEnabled; }
    int index() const { return m_index; }
    int count() const { return m_count; }
    // Whether the picture differs from the recorded state where it was written since.
    bool pendingDiffers(const QImage& picture) const;
    // The state in slot i (1..count), rebuilt from the picture on screen; a null picture for
    // slots that hold no state.
    QImage slot(int i, const QImage& picture) const;

    // Bytes of pixels the history holds: the steps and the tiles kept since the last recording.
    qint64 storedBytes() const;

private:
    struct Tile {
        QRect rect;                      // where the pixels go
        std::unique_ptr<QRgb[]> pixels;  // rect's pixels of the side not on screen, row after row
        bool changes = false;            // known to differ: not compared at recording
    };
    // What lies between slot k and slot k + 1 (m_steps[k - 1]).
    struct Step {
        QImage whole;             // the whole other state, when the picture was replaced whole
        std::vector<Tile> tiles;  // otherwise the differing tiles
        bool turned = false;      // or slot k + 1 is slot k turned by `turn`
        PictureTurn turn = PictureTurn::Half;
    };

    void ensureGrid(QSize size);
    Tile takeTile(const QImage& picture, const QRect& rect);
    void recycle(Tile& tile);
    void recycle(Step& step);
    // Writes the kept tiles into the picture.
    void putPendingBack(QImage& picture) const;
    // Puts the kept tiles (or the whole recorded state) back into the picture, then forgets them.
    void revertPending(QImage& picture);
    void dropPending();
    // The tiles of `before` that differ from `after` (one layout); all of them when most differ,
    // then `whole` is set instead.
    void compareWhole(Step& step, QImage before, const QImage& after);
    void addStep(Step step);
    // Moves the picture across step k: forward from slot k to k + 1, or back.
    void applyStep(int k, QImage& picture, bool forward);

    std::array<Step, kSlots - 1> m_steps;
    std::vector<Tile> m_pending;  // tiles kept since the last recording
    QImage m_pendingWhole;        // the recorded state, when the picture was replaced since
    bool m_pendingCompare = true;
    bool m_hasPendingWhole = false;
    QSize m_gridSize;
    int m_columns = 0;
    std::vector<int> m_tileSlot;                  // per tile of the picture: its index in m_pending, or −1
    std::vector<std::unique_ptr<QRgb[]>> m_pool;  // tile buffers to reuse
    QImage m_spare;  // a picture buffer nobody needs: quarter turns and rewrites write into it
    std::vector<QRect> m_lastChange;
    int m_index = 0;
    int m_count = 0;
    bool m_undoEnabled = false;
    bool m_redoEnabled = false;
};

}  // namespace velmar::paint
