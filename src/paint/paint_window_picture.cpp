// The "Рисунок" menu of the editor window: crop, turns, the resize dialog and the fit to the window.
#include "paint/paint_resize_dialog.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"

#include <QScrollBar>

namespace velmar::paint {

void PaintWindow::pictureCommand(const std::function<void()>& command)
{
    if (m_doc.buttonDown() || m_editor.resizing())
        return;
    command();
    m_workArea->takeFocus();
}

void PaintWindow::resizeCommand()
{
    if (m_doc.buttonDown() || m_editor.resizing())
        return;
    const SizeQuestion ask = m_askSize ? m_askSize : SizeQuestion(askNewSize);
    if (const auto size = ask(this, m_editor.resizeSubject()))
        m_editor.resizeTo(*size);
    m_workArea->takeFocus();
}

void PaintWindow::fitToWindow()
{
    m_editor.zoomKeepingTool(kFitRow);
    // The whole picture is in view: no scroll left over from the zoom before.
    m_workArea->horizontalBar()->setValue(0);
    m_workArea->verticalBar()->setValue(0);
}

}  // namespace velmar::paint
