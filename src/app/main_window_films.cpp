// Films: the helper their commands run on, and the show.
#include "app/main_window.h"
#include "canvas/canvas_widget.h"
#include "film/film_commands.h"
#include "show/presentation_window.h"

namespace velmar {

void MainWindow::installVideoFeatures()
{
    m_videoCommands = new FilmCommands(*this, m_view, this);
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
