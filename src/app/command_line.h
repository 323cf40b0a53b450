#pragma once

#include "app/headless_cli.h"

#include <QString>
#include <QStringList>

namespace velmar {

// What the command line asks for: a file to open in the window, or a file command to run without
// one, or nothing more than a message (help, version, a wrong command line).
struct CommandLine {
    QString document;          // the outline to open at start (absolute), empty for none
    HeadlessCommand headless;  // a file command, kind None for the window
    bool exitNow = false;      // help, version or an error: print and end with exitCode
    int exitCode = 0;
    QString output;  // for standard output (help, version)
    QString errors;  // for standard error, in the interface language, naming the wrong argument
};

// Reads the arguments (the program's path first). Needs no application object: every text it
// gives, the help included, is the program's own rather than the parser library's, Russian as
// written or translated by the catalogues of the application object when there is one.
CommandLine parseCommandLine(QStringList arguments);

// A number as a person types it: "1.5" or, with the Russian decimal comma, "1,5".
bool parseDecimal(const QString& text, double* value);

}  // namespace velmar
