// Video fragments: their players, commands and the full-screen video window.
#include "app/main_window.h"

namespace velmar {

void MainWindow::installVideoFeatures()
{
}

}  // namespace velmar
