#pragma once

#include "system/interface_language.h"

#include <QString>

namespace velmar {

// The help page's file name in a language: index.html (Russian) or index_en.html.
QString helpPageName(InterfaceLanguage language);

// Writes the bundled help page of the language into <programFolder>/help (when it is missing or
// out of date) and returns its path; an empty string when it could not be written.
QString installHelp(const QString& programFolder, InterfaceLanguage language = InterfaceLanguage::Russian);

// Shows the help page of the interface language in the desktop's viewer.
void openHelp(const QString& programFolder);

}  // namespace velmar
