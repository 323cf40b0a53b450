#pragma once

class QCoreApplication;

namespace velmar {

// Loads Qt's own Russian texts (the qtbase catalogue of the system's Qt translations), so that
// the standard dialogs (files, colours, fonts, message and input boxes) of the Russian interface
// speak Russian whatever the user's locale. False when the catalogue is not installed; the
// dialogs then stay in English.
bool installQtTranslations(QCoreApplication& app);

// The whole program: command line, application object, main window, event loop.
int runApplication(int argc, char** argv);

}  // namespace velmar
