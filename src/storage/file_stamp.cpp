#include "storage/file_stamp.h"

#include "storage/outline_file.h"
#include "system/file_io.h"

#include <QHashFunctions>

#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

quint64 FileStamp::recordHashOf(QByteArrayView record)
{
    // Qt's hash of bytes (with the processor's AES instructions where it has them), seeded with
    // a fixed value: stamps are compared only within one run of the program.
    constexpr size_t kSeed = 0x76656C6D6172;  // "velmar"
    return quint64(qHashBits(record.data(), size_t(record.size()), kSeed));
}

FileStamp FileStamp::of(const QString& path)
{
    FileStamp stamp;
    QString problem;
    const int handle = openRegularFile(path, &problem);
    if (handle < 0)
        return stamp;
    struct stat info {};
    QByteArray record;
    if (::fstat(handle, &info) == 0 && readUpTo(handle, layout::kHeaderSize, &record)) {
        stamp.exists = true;
        stamp.size = qint64(info.st_size);
        stamp.modifiedMs = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
        stamp.recordHash = recordHashOf(record);
    }
    ::close(handle);
    return stamp;
}

bool FileStamp::changedIn(const FileStamp& now) const
{
    if (!now.exists)
        return false;
    if (!exists)
        return true;
    return now.size != size || now.modifiedMs != modifiedMs || now.recordHash != recordHash;
}

}  // namespace velmar
