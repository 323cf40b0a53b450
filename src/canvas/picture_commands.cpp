// The picture stretch switches and the full-screen view of a picture.
#include "canvas/canvas_controller.h"
#include "canvas/outline_view.h"
#include "canvas/picture_preview.h"

#include <QAction>

namespace velmar {

PictureObject* CanvasController::currentPicture(ObjectId id)
{
    const int slot = doc().outline.findSlot(ObjectKind::Picture, id);
    return slot > 0 ? &doc().outline.picture(slot) : nullptr;
}

void CanvasController::setStretchFromMenu(bool stretched)
{
    // "Масштабирование" on the picture's menu: a recorded change.
    if (PictureObject* p = currentPicture(doc().interaction.currentObject)) {
        p->stretched = stretched;
        m_host.documents().recordStep(StepKind::HeaderOnly);
    }
}

void CanvasController::setStretchFromButton(bool stretched)
{
    if (PictureObject* p = currentPicture(doc().interaction.currentCompanion)) {
        p->stretched = stretched;
        m_host.documents().objectsEdited();
    }
}

void CanvasController::showPictureFullScreen()
{
    PictureObject* p = currentPicture(doc().interaction.currentObject);
    if (!p)
        return;
    if (!m_preview)
        m_preview = new PicturePreview(m_host.dialogParent());
    m_preview->showPicture(p->bitmap());
}

}  // namespace velmar
