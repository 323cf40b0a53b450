#pragma once

#include <QFunctionPointer>
#include <QString>

#include <initializer_list>
#include <vector>

namespace velmar {

// The program's modules are shared libraries it loads on first use, so that a start-up that needs
// none of them maps none of what they link. They lie in ../<library folder>/velmar/modules from
// the running program: in the installed tree, and in the build tree too, whose executables all
// sit one folder below its top and which puts the modules there.

// Where the module file `fileName` is looked for; the environment variable `overrideVariable`,
// when set, names the file instead.
QString programModulePath(const QString& fileName, const char* overrideVariable);

// Loads that module for the life of the process and looks up `functions` in it. Returns their
// addresses in the same order, or nothing when one is missing, with `error` set: empty when no
// such file exists, the loader's message otherwise.
std::vector<QFunctionPointer> loadProgramModule(const QString& fileName, const char* overrideVariable,
                                                std::initializer_list<const char*> functions, QString* error);

}  // namespace velmar
