// Video fragments: their players, commands and the full-screen video window.
#include "app/main_window.h"
#include "canvas/canvas_widget.h"
#include "film/film_commands.h"
#include "platform/command_guard.h"
#include "show/presentation_window.h"

#include <QAction>

namespace velmar {

void MainWindow::installVideoFeatures()
{
    m_videoCommands = new FilmCommands(*this, m_view, this);
    auto videoCommand = [this](QAction* action, void (FilmCommands::*handler)()) {
        Q_ASSERT(action);
        FilmCommands* commands = m_videoCommands;
        connect(action, &QAction::triggered, this,
                [this, commands, handler] { runGuarded(this, [commands, handler] { (commands->*handler)(); }); });
    };
    videoCommand(m_commands.openVideoFile, &FilmCommands::openFile);
    videoCommand(m_commands.playVideo, &FilmCommands::play);
    videoCommand(m_commands.pauseVideo, &FilmCommands::togglePause);
    videoCommand(m_commands.stopVideo, &FilmCommands::stop);
    videoCommand(m_commands.playerButtons, &FilmCommands::togglePlayerButtons);
    videoCommand(m_commands.videoFullScreen, &FilmCommands::showFullScreen);
    connect(this, &MainWindow::openCommandRun, m_videoCommands, &FilmCommands::outlineOpening);
    connect(this, &MainWindow::outlineReplaced, m_videoCommands, &FilmCommands::outlineReplaced);
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
