#include "storage/file_stamp.h"

#include "storage/outline_file.h"
#include "system/file_io.h"

#include <QHashFunctions>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

namespace {

// Qt's hash of bytes (with the processor's AES instructions where it has them), seeded with a
// fixed value: stamps are compared only within one run of the program.
constexpr quint64 kSeed = 0x76656C6D6172;  // "velmar"

// The record is hashed in pieces of this size, each piece's hash seeding the next: a file's
// record is then hashed as it is read through one small buffer. A buffer the size of the record
// would be fresh memory, faulted in page by page, on every Open and every check for a change.
constexpr qsizetype kPiece = 64 * 1024;

quint64 hashPiece(const char* bytes, qsizetype size, quint64 seed)
{
    return quint64(qHashBits(bytes, size_t(size), size_t(seed)));
}

}  // namespace

quint64 FileStamp::recordHashOf(QByteArrayView record)
{
    // An empty record is one empty piece, so that it too has a hash of its own.
    quint64 hash = hashPiece(record.data(), std::min(kPiece, record.size()), kSeed);
    for (qsizetype at = kPiece; at < record.size(); at += kPiece)
        hash = hashPiece(record.data() + at, std::min(kPiece, record.size() - at), hash);
    return hash;
}

FileStamp FileStamp::of(const QString& path)
{
    FileStamp stamp;
    QString problem;
    const int handle = openRegularFile(path, &problem);
    if (handle < 0)
        return stamp;
    struct stat info {};
    if (::fstat(handle, &info) == 0) {
        // The same pieces recordHashOf() cuts the first kHeaderSize bytes into.
        QByteArray piece(kPiece, Qt::Uninitialized);
        quint64 hash = kSeed;
        qint64 read = 0;
        bool failed = false;
        for (;;) {
            const qint64 got = readInto(handle, piece.data(), std::min<qint64>(kPiece, layout::kHeaderSize - read));
            if (got < 0) {
                failed = true;
                break;
            }
            if (got > 0 || read == 0)
                hash = hashPiece(piece.constData(), got, hash);
            read += got;
            if (got < kPiece || read >= layout::kHeaderSize)
                break;
        }
        if (!failed) {
            stamp.exists = true;
            stamp.size = qint64(info.st_size);
            stamp.modifiedMs = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
            stamp.recordHash = hash;
        }
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
