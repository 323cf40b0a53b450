#include "view/frame_titles.h"

#include "canvas/canvas_host.h"
#include "platform/dialogs.h"

#include <QCoreApplication>

namespace velmar {

FrameTitles::FrameTitles(CanvasHost& host, QObject* parent) : QObject(parent), m_host(host) {}

FrameObject* FrameTitles::currentFrame()
{
    Outline& o = m_host.document().outline;
    const int slot = o.findSlot(ObjectKind::Frame, m_host.document().interaction.currentCompanion);
    return slot > 0 ? &o.frame(slot) : nullptr;
}

void FrameTitles::showTitleFromSwitch(bool shown)
{
    FrameObject* frame = currentFrame();
    if (!frame || frame->titleVisible == shown)
        return;
    frame->titleVisible = shown;
    m_host.documents().objectsEdited();
    // Not an undo step, but the outline has changed and must not be closed without the question.
    m_host.documents().markModifiedWithoutStep();
}

void FrameTitles::showTitleFromPopup(bool shown)
{
    FrameObject* frame = currentFrame();
    if (!frame)
        return;
    frame->titleVisible = shown;
    m_host.documents().recordStep(StepKind::HeaderOnly);
}

void FrameTitles::rename()
{
    FrameObject* frame = currentFrame();
    if (!frame)
        return;
    const auto name =
        dialogs().inputText(m_host.dialogParent(), QCoreApplication::translate("FrameTitles", "Внимание"),
                            QCoreApplication::translate("FrameTitles", "Введите название фрейма"), frame->title);
    if (!name)
        return;
    if ((frame = currentFrame()) == nullptr)
        return;
    // The tooltip keeps what it shows: the old name or the minimal text.
    frame->title = *name;
    m_host.documents().recordStep(StepKind::HeaderOnly);
}

}  // namespace velmar
