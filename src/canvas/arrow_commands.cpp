// The arrow pop-up commands: colour, thickness and deletion of the selected arrow.
#include "canvas/arrow_geometry.h"
#include "canvas/canvas_controller.h"
#include "canvas/outline_view.h"
#include "platform/dialogs.h"

#include <QAction>
#include <QCoreApplication>

namespace velmar {

ArrowObject* CanvasController::selectedArrow()
{
    const int slot = doc().interaction.selectedArrow;
    if (slot < 1 || slot > doc().outline.count(ObjectKind::Arrow))
        return nullptr;
    return &doc().outline.arrow(slot);
}

void CanvasController::changeArrowColour()
{
    ArrowObject* a = selectedArrow();
    if (!a)
        return;
    const auto colour = dialogs().chooseColour(m_host.dialogParent(), toQColor(a->colour));
    if (!colour)
        return;
    a->colour = fromQColor(*colour);
    m_host.documents().recordStep(StepKind::HeaderOnly);
}

void CanvasController::changeArrowWidth(int delta)
{
    ArrowObject* a = selectedArrow();
    if (!a)
        return;
    const int width = a->penWidth + delta;
    if (width < kArrowPenMin || width > kArrowPenMax)
        return;
    a->penWidth = width;
    m_host.documents().recordStep(StepKind::HeaderOnly);
}

void CanvasController::deleteArrow()
{
    const auto answer =
        dialogs().ask(m_host.dialogParent(), QCoreApplication::translate("ObjectCommands", "Подтверждение"),
                      QCoreApplication::translate("ObjectCommands", "Вы действительно хотите удалить стрелку?"),
                      QMessageBox::Yes | QMessageBox::No, QMessageBox::Information);
    if (answer != QMessageBox::Yes)
        return;
    dropSelection();
    const int slot = doc().outline.findSlot(ObjectKind::Arrow, doc().interaction.currentObject);
    if (slot == 0)
        return;
    doc().outline.removeObject(ObjectKind::Arrow, slot);
    doc().interaction.selectedArrow = 0;
    doc().interaction.offeredSwitch = ObjectSwitch::None;
    m_host.documents().recordStep(StepKind::Full);
}

}  // namespace velmar
