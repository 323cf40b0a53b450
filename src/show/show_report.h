#pragma once

#include <QString>

namespace velmar {

// For tests that drive the program with real input: with VELMAR_REPORT_GEOMETRY set, the show's
// windows print what is on the screen, one line each time it changes.
bool showReportAsked();
// Prints `line` on standard output unless it is `last`, the line printed before, which it becomes.
void printReportLine(const QString& line, QString& last);

}  // namespace velmar
