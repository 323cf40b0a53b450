// The zip archive module: archives written with libzip. Built as a module of its own and loaded
// on the first slide deck (export/zip_archive.cpp), so that a start-up maps neither libzip nor
// the libraries it links (OpenSSL's libcrypto among them, whose loading alone costs a few
// milliseconds of every start).
#include "export/zip_archive.h"

#include <QtGlobal>

#include <memory>

#include <zip.h>

namespace velmar {

namespace {

QString errorText(zip_error_t* error) { return QString::fromLocal8Bit(zip_error_strerror(error)); }

QByteArray writeArchive(const std::vector<ZipEntry>& entries, QString* error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    // The archive is written into a buffer source that outlives the archive: kept, then read back.
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    if (!buffer) {
        *error = errorText(&zipError);
        zip_error_fini(&zipError);
        return {};
    }
    const std::unique_ptr<zip_source_t, void (*)(zip_source_t*)> keep(buffer, zip_source_free);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &zipError);
    if (!archive) {
        *error = errorText(&zipError);
        zip_error_fini(&zipError);
        return {};
    }
    zip_error_fini(&zipError);
    for (const ZipEntry& entry : entries) {
        // The entries' bytes stay alive in `entries` until the archive is closed.
        zip_source_t* data = zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        const QByteArray name = entry.name.toUtf8();
        const zip_int64_t index = data ? zip_file_add(archive, name.constData(), data, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (data)
                zip_source_free(data);
            *error = QString::fromLocal8Bit(zip_strerror(archive));
            zip_discard(archive);
            return {};
        }
        zip_set_file_compression(archive, zip_uint64_t(index), entry.compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) != 0) {
        *error = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        return {};
    }
    zip_stat_t stat;
    if (zip_source_open(buffer) != 0) {
        *error = errorText(zip_source_error(buffer));
        return {};
    }
    QByteArray bytes;
    if (zip_source_stat(buffer, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
        bytes.resize(qsizetype(stat.size));
        if (zip_source_read(buffer, bytes.data(), stat.size) != zip_int64_t(stat.size)) {
            *error = errorText(zip_source_error(buffer));
            bytes.clear();
        }
    }
    zip_source_close(buffer);
    return bytes;
}

}  // namespace

}  // namespace velmar

// The module's entry point: zipArchive (export/zip_archive.h) of the program, which calls it.
extern "C" Q_DECL_EXPORT void velmarZipArchive(const std::vector<velmar::ZipEntry>* entries, QByteArray* bytes,
                                               QString* error)
{
    *bytes = velmar::writeArchive(*entries, error);
}
