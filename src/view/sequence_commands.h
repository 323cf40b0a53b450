#pragma once

#include "canvas/canvas_host.h"

#include <QObject>

namespace velmar {

class SelectionHandles;
class SequenceOverlay;

// Moves an item one place in a sequence: earlier swaps it with the entry before it, later with
// the entry after it. The item's position is its last entry. Returns false, changing nothing,
// when the item is not in the sequence or already first (earlier) or last (later).
bool moveEarlier(Sequence& sequence, ObjectId id);
bool moveLater(Sequence& sequence, ObjectId id);

// The commands that change the reading order: "Вперед"/"Назад" on a picture's menu (N107 later,
// N108 earlier) and the order buttons on the selected item (ToolButton24 and N115 earlier,
// ToolButton23 and N116 later). The order is no history step; a move marks the outline modified.
class SequenceCommands : public QObject {
    Q_OBJECT
public:
    SequenceCommands(CanvasHost& host, SelectionHandles* handles, SequenceOverlay* overlay, QObject* parent = nullptr);

    void movePictureLater();
    void movePictureEarlier();
    void moveSelectedEarlier();
    void moveSelectedLater();

private:
    void movePicture(bool later);
    void moveSelected(bool later);

    CanvasHost& m_host;
    SelectionHandles* m_handles;
    SequenceOverlay* m_overlay;
};

}  // namespace velmar
