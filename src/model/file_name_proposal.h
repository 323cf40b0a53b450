#pragma once

#include <QString>

namespace velmar {

// A file name made from an outline's name for a save dialog to propose: the whole name, with the
// characters a file dialog or the file system would read otherwise (quotes, which the dialog takes
// for a list of names; slashes, which start folders; wildcards, which it takes for a filter;
// control characters) replaced by "_", and an outline file's own extension (".vmd", ".vmc") left
// off. Leading and trailing spaces and dots are dropped; a name with nothing left proposes nothing.
QString proposedFileName(const QString& outlineName);

}  // namespace velmar
