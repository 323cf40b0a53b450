#pragma once

#include <QStringList>

namespace velmar {

// The shared libraries mapped into this process, each path once, from /proc/self/maps (empty
// where that file cannot be read).
QStringList mappedLibraries();

}  // namespace velmar
