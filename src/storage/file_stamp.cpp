#include "storage/file_stamp.h"

#include "storage/outline_file.h"
#include "system/file_io.h"

#include <QCryptographicHash>

#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

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
        stamp.recordHash = QCryptographicHash::hash(record, QCryptographicHash::Sha256);
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
