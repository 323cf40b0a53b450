#include "system/program_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace velmar {

namespace {

// The running program's folder, also before (or without) a QCoreApplication.
QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

}  // namespace

QString programModulePath(const QString& fileName, const char* overrideVariable)
{
    const QString override = qEnvironmentVariable(overrideVariable);
    if (!override.isEmpty())
        return override;
    return QDir(programFolder()).filePath(QStringLiteral("../" VELMAR_MODULE_DIR "/") + fileName);
}

std::vector<QFunctionPointer> loadProgramModule(const QString& fileName, const char* overrideVariable,
                                                std::initializer_list<const char*> functions, QString* error)
{
    error->clear();
    const QString path = programModulePath(fileName, overrideVariable);
    if (!QFileInfo::exists(path))
        return {};
    QLibrary library(path);
    library.setLoadHints(QLibrary::PreventUnloadHint);
    std::vector<QFunctionPointer> found;
    for (const char* function : functions) {
        const QFunctionPointer address = library.resolve(function);
        if (!address) {
            *error = library.errorString();
            return {};
        }
        found.push_back(address);
    }
    return found;
}

}  // namespace velmar
