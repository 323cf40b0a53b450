#include "export/zip_archive.h"

#include "system/program_module.h"

#include <QCoreApplication>

namespace velmar {

namespace {

using ArchiveFunction = void (*)(const std::vector<ZipEntry>*, QByteArray*, QString*);

struct ZipModule {
    ArchiveFunction archive = nullptr;
    QString error;
};

// libzip lives in a module of its own (export/zip/libzip_archive.cpp), loaded with the first
// archive: the start-up maps none of it.
ZipModule loadModule()
{
    ZipModule module;
    const auto found =
        loadProgramModule(QStringLiteral("velmar_zip.so"), "VELMAR_ZIP_MODULE", {"velmarZipArchive"}, &module.error);
    if (!found.empty())
        module.archive = reinterpret_cast<ArchiveFunction>(found[0]);
    else if (module.error.isEmpty())
        module.error = QCoreApplication::translate("ZipArchive", "модуль архивов zip не найден");
    else
        module.error =
            QCoreApplication::translate("ZipArchive", "модуль архивов zip не загружается: %1").arg(module.error);
    return module;
}

}  // namespace

QByteArray zipArchive(const std::vector<ZipEntry>& entries, QString* error)
{
    // Loaded once for the life of the process; the first caller of any thread loads it.
    static const ZipModule module = loadModule();
    if (!module.archive) {
        *error = module.error;
        return {};
    }
    QByteArray bytes;
    module.archive(&entries, &bytes, error);
    return bytes;
}

}  // namespace velmar
