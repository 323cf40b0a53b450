#pragma once

#include "system/interface_language.h"

class QCoreApplication;
class QTranslator;

namespace velmar {

// Russian for the few texts of Qt's standard dialogs that Qt's own Russian catalogue lacks (the
// file dialog's type of a folder, drive or link, which Qt 6 asks for under a context the catalogue
// does not have yet). Installed after the catalogue, so it is asked first, and it answers only
// for those texts.
void installMissingQtTexts(QCoreApplication& app);

// The program's English catalogue (built from the repository's translation file and embedded in
// the program), or null when it cannot be loaded. Loaded once, owned by the process.
QTranslator* englishCatalogue();

// Installs the catalogues of the interface language into the application: for Russian, Qt's own
// Russian texts (installQtTranslations) and the program's texts as written; for English, the
// program's English catalogue and Qt's English one, with English number and date formats.
void installInterfaceTranslations(QCoreApplication& app, InterfaceLanguage language);

}  // namespace velmar
