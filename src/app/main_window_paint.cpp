// Handing a picture of the outline to the graphic editor and taking it back.
#include "app/main_window.h"
#include "canvas/outline_view.h"
#include "paint/paint_window.h"

namespace velmar {

void MainWindow::editPicture()
{
    const ObjectId id = m_document.interaction.currentObject;
    const int slot = m_document.outline.findSlot(ObjectKind::Picture, id);
    if (slot <= 0 || (m_paintWindow && m_paintWindow->isEditing()))
        return;
    if (!m_paintWindow) {
        m_paintWindow = new paint::PaintWindow(this);
        connect(m_paintWindow, &paint::PaintWindow::editingFinished, this, &MainWindow::finishPictureEdit);
    }
    m_editedPicture = id;
    m_pictureBeforeEdit = m_document.outline.picture(slot).bitmap().convertToFormat(QImage::Format_RGB32);
    hide();
    m_paintWindow->editPicture(m_pictureBeforeEdit);
}

void MainWindow::finishPictureEdit(const QImage& picture, bool modified)
{
    show();
    const QImage before = std::exchange(m_pictureBeforeEdit, QImage());
    const int slot = m_document.outline.findSlot(ObjectKind::Picture, std::exchange(m_editedPicture, 0));
    if (slot <= 0)
        return;
    // A picture that comes back as it went keeps its bitmap (and its encoded JPEG stream) and
    // records nothing. One that changed, even by a command that records no editor step, is
    // written back and recorded as a complete snapshot: a step of the header alone would not
    // bring the earlier picture back on undo, nor keep the new one after a crash.
    if (!modified && picture == before)
        return;
    m_document.outline.picture(slot).setBitmap(picture);
    m_documents->recordStep(StepKind::Full);
}

}  // namespace velmar
