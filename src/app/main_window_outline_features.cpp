// Appearance and deletion commands, frame titles, minimal texts and the summary, the sequences of
// frames and objects and their overlays.
#include "app/main_window.h"

namespace velmar {

void MainWindow::installOutlineFeatures()
{
}

void MainWindow::redrawOverlays()
{
}

void MainWindow::repaintIfPending()
{
    if (!m_document.state.repaintPending)
        return;
    update();
    m_document.state.repaintPending = false;
}

}  // namespace velmar
