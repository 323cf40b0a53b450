#pragma once

namespace velmar {

// The whole program: command line, application object, main window, event loop.
int runApplication(int argc, char** argv);

}  // namespace velmar
