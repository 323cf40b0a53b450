#include "view/sequence_commands.h"

#include "canvas/canvas_host.h"
#include "canvas/selection_handles.h"
#include "view/sequence_overlay.h"

namespace velmar {

namespace {

// The last position among 1..length that holds the item, 0 when none does.
int lastPositionOf(const Sequence& sequence, ObjectId id)
{
    int found = 0;
    if (id == 0)
        return 0;
    for (int p = 1; p <= sequence.length(); ++p)
        if (sequence.entry(p) == id)
            found = p;
    return found;
}

}  // namespace

bool moveEarlier(Sequence& sequence, ObjectId id)
{
    const int p = lastPositionOf(sequence, id);
    if (p <= 1)
        return false;
    sequence.swap(p - 1, p);
    return true;
}

bool moveLater(Sequence& sequence, ObjectId id)
{
    const int p = lastPositionOf(sequence, id);
    if (p == 0 || p >= sequence.length())
        return false;
    sequence.swap(p, p + 1);
    return true;
}

SequenceCommands::SequenceCommands(CanvasHost& host, SelectionHandles* handles, SequenceOverlay* overlay,
                                   QObject* parent)
    : QObject(parent), m_host(host), m_handles(handles), m_overlay(overlay)
{
}

void SequenceCommands::movePicture(bool later)
{
    OpenOutline& doc = m_host.document();
    const ObjectId id = doc.interaction.currentObject;
    if (doc.outline.findSlot(ObjectKind::Picture, id) == 0)
        return;
    Sequence& objects = doc.outline.objectSequence();
    if (later ? moveLater(objects, id) : moveEarlier(objects, id))
        m_host.documents().markModifiedWithoutStep();
    m_overlay->run(OverlayKind::Objects);
}

void SequenceCommands::moveSelected(bool later)
{
    // With the blue handles shown the selected object moves among the objects; otherwise the
    // current object is taken as a frame.
    OpenOutline& doc = m_host.document();
    const ObjectId id = doc.interaction.currentObject;
    const bool object = m_handles->blueSetVisible();
    Sequence& sequence = object ? doc.outline.objectSequence() : doc.outline.frameSequence();
    if (later ? moveLater(sequence, id) : moveEarlier(sequence, id))
        m_host.documents().markModifiedWithoutStep();
    m_overlay->run(object ? OverlayKind::Objects : OverlayKind::Frames);
}

void SequenceCommands::movePictureLater() { movePicture(true); }
void SequenceCommands::movePictureEarlier() { movePicture(false); }
void SequenceCommands::moveSelectedEarlier() { moveSelected(false); }
void SequenceCommands::moveSelectedLater() { moveSelected(true); }

}  // namespace velmar
