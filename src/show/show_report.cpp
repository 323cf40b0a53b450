#include "show/show_report.h"

#include <cstdio>

namespace velmar {

bool showReportAsked()
{
    static const bool asked = qEnvironmentVariableIsSet("VELMAR_REPORT_GEOMETRY");
    return asked;
}

void printReportLine(const QString& line, QString& last)
{
    if (line == last)
        return;
    last = line;
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

}  // namespace velmar
