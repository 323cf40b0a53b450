// The helpers the outline's commands run on: appearance and deletion, frame titles, minimal texts
// and the summary, the sequences of frames and objects and their overlays.
#include "app/main_window.h"
#include "app/window_report.h"
#include "canvas/appearance_commands.h"
#include "canvas/canvas_widget.h"
#include "platform/command_guard.h"
#include "view/find_bar.h"
#include "view/frame_titles.h"
#include "view/minimal_text_windows.h"
#include "view/sequence_commands.h"
#include "view/sequence_overlay.h"

#include <QAction>

namespace velmar {

void MainWindow::installOutlineFeatures()
{
    m_overlay = new SequenceOverlay(*this, m_canvas, m_handles);
    m_appearance = new AppearanceCommands(*this, m_canvas, m_handles, m_controller, this);
    m_frameTitles = new FrameTitles(*this, this);
    m_minimalTexts = new MinimalTextCommands(*this, this);
    m_sequences = new SequenceCommands(*this, m_handles, m_overlay, this);
    // An overlay that is on follows the outline when it is replaced, rebuilt, emptied or rescaled.
    for (Command command : {Command::NewOutline, Command::Close, Command::Undo, Command::Redo})
        connect(m_commands.action(command), &QAction::triggered, this,
                [this] { runGuarded(this, [this] { m_overlay->redraw(); }); });
    connect(this, &MainWindow::outlineReplaced, this, [this] { runGuarded(this, [this] { m_overlay->redraw(); }); });
    connect(m_canvas, &CanvasWidget::resized, this, [this] { runGuarded(this, [this] { m_overlay->redraw(); }); });
}

FindBar* MainWindow::findBar()
{
    if (m_findBar)
        return m_findBar;
    // Made when first asked for: the bar is hidden until then, and its text boxes would cost
    // every start-up their text layouts.
    m_findBar = new FindBar(*this, m_controller, m_view, m_canvas, this);
    // A place found belongs to the outline it was found in: a replaced one is searched from its start.
    connect(this, &MainWindow::outlineReplaced, m_findBar, &FindBar::forgetPlace);
    // Closing the outline closes the bar.
    for (auto signal : {&DocumentController::objectsChanged, &DocumentController::commandEnded})
        connect(m_documents, signal, m_findBar, [this] {
            if (!m_document.session.outlineOpen && m_findBar->isVisible())
                m_findBar->closeBar();
        });
    // Reported once the bar has laid out its buttons.
    connect(
        m_findBar, &FindBar::changed, this, [this] { reportFindBar(m_findBar, m_canvas, m_findBar->status()); },
        Qt::QueuedConnection);
    return m_findBar;
}

void MainWindow::redrawOverlays()
{
    if (m_overlay)
        m_overlay->redraw();
}

void MainWindow::repaintIfPending()
{
    if (!m_document.session.repaintPending)
        return;
    if (m_overlay)
        m_overlay->erase();
    update();
    m_document.session.repaintPending = false;
}

}  // namespace velmar
