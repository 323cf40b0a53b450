// Video fragments: their players, commands and the full-screen video window.
#include "app/main_window.h"

#include "canvas/canvas_widget.h"
#include "platform/command_guard.h"
#include "view/presentation_window.h"
#include "view/video_commands.h"

#include <QAction>

namespace velmar {

void MainWindow::installVideoFeatures()
{
    m_videoCommands = new VideoCommands(*this, m_view, this);
    auto videoCommand = [this](QAction* action, void (VideoCommands::*handler)()) {
        Q_ASSERT(action);
        VideoCommands* commands = m_videoCommands;
        connect(action, &QAction::triggered, this,
                [this, commands, handler] { runGuarded(this, [commands, handler] { (commands->*handler)(); }); });
    };
    videoCommand(m_commands.openVideoFile, &VideoCommands::openFile);
    videoCommand(m_commands.playVideo, &VideoCommands::play);
    videoCommand(m_commands.pauseVideo, &VideoCommands::togglePause);
    videoCommand(m_commands.stopVideo, &VideoCommands::stop);
    videoCommand(m_commands.playerButtons, &VideoCommands::togglePlayerButtons);
    videoCommand(m_commands.videoFullScreen, &VideoCommands::showFullScreen);
    connect(this, &MainWindow::openCommandRun, m_videoCommands, &VideoCommands::outlineOpening);
    connect(this, &MainWindow::outlineReplaced, m_videoCommands, &VideoCommands::outlineReplaced);
}

void MainWindow::startShow(ObjectId startAt)
{
    // Films that could not be opened are named before the show covers the window; what fails
    // while it runs is named once it has ended, never in a box over the show.
    m_videoCommands->reportNow();
    PresentationWindow* show = PresentationWindow::present(document(), canvas()->size(), this, startAt);
    if (!show)
        return;
    m_videoCommands->holdReports(true);
    connect(show, &QObject::destroyed, m_videoCommands, [commands = m_videoCommands] { commands->holdReports(false); });
}

}  // namespace velmar
