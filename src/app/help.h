#pragma once

#include <QString>

namespace velmar {

// Writes the bundled help page into <programFolder>/help (when it is missing or out of date) and
// returns its path; an empty string when it could not be written.
QString installHelp(const QString& programFolder);

// Shows the help page in the desktop's viewer.
void openHelp(const QString& programFolder);

}  // namespace velmar
