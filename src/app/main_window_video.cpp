// Video fragments: their players, commands and the full-screen video window.
#include "app/main_window.h"

#include "platform/command_guard.h"
#include "view/video_commands.h"

#include <QAction>

namespace velmar {

void MainWindow::installVideoFeatures()
{
    m_videoCommands = new VideoCommands(*this, m_view, this);
    auto videoCommand = [this](const char* name, void (VideoCommands::*handler)()) {
        VideoCommands* commands = m_videoCommands;
        connect(command(QLatin1String(name)), &QAction::triggered, this,
                [this, commands, handler] { runGuarded(this, [commands, handler] { (commands->*handler)(); }); });
    };
    videoCommand("N26", &VideoCommands::openFile);
    videoCommand("N27", &VideoCommands::play);
    videoCommand("N29", &VideoCommands::togglePause);
    videoCommand("N28", &VideoCommands::stop);
    videoCommand("N34", &VideoCommands::togglePlayerButtons);
    videoCommand("N82", &VideoCommands::showFullScreen);
    connect(this, &MainWindow::openCommandRun, m_videoCommands, &VideoCommands::outlineOpening);
    connect(this, &MainWindow::outlineReplaced, m_videoCommands, &VideoCommands::outlineReplaced);
}

}  // namespace velmar
