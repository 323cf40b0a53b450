#pragma once

class QCoreApplication;

namespace velmar {

// Russian for the few texts of Qt's standard dialogs that Qt's own Russian catalogue lacks (the
// file dialog's type of a folder, drive or link, which Qt 6 asks for under a context the catalogue
// does not have yet). Installed after the catalogue, so it is asked first, and it answers only
// for those texts.
void installMissingQtTexts(QCoreApplication& app);

}  // namespace velmar
