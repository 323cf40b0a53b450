#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace velmar {

// The outcome of a file write: when !ok, error says why in Russian (without the file's name).
struct FileWriteStatus {
    bool ok = false;
    QString error;
};

// The Russian text for a system error number ("Недостаточно места на диске" for a full disk).
QString systemErrorText(int error);

// Writes the pieces one after another into a new file beside `path` and renames it over `path`
// once every byte is written, so a failure leaves the previous file untouched. A link is written
// through to the file it names; a replaced file keeps its permissions. With `durable`, the data
// is flushed to the disk before the rename and the folder after it, so a power failure leaves
// either the old file or the new one.
FileWriteStatus replaceFile(const QString& path, const std::vector<QByteArrayView>& pieces, bool durable);

// Writes the pieces into `path` itself, created or truncated; nothing is flushed to the disk.
FileWriteStatus overwriteFile(const QString& path, const std::vector<QByteArrayView>& pieces);

// Writes a file of the program's own working folders (history snapshots), never through a link
// planted there: atomically, through a new file renamed over `path` (the link itself is replaced);
// otherwise `path` is removed first and created anew, exclusively. Readable by the owner alone
// unless `mode` says otherwise.
FileWriteStatus writeWorkingFile(const QString& path, const std::vector<QByteArrayView>& pieces, bool atomically,
                                 int mode = 0600);

// Writes `content` to `path` (creating its folder) only when the file does not already hold
// exactly these bytes, so that unchanged files keep their dates and nothing is written in vain.
// Written as writeWorkingFile writes (readable by all): a link or a FIFO planted at `path` is
// neither read nor written through, but replaced.
enum class WriteOutcome { Unchanged, Written, Failed };
WriteOutcome writeIfChanged(const QString& path, const QByteArray& content);

// Opens a file for reading when it is a regular file, without blocking and without reading from
// it: a device (/dev/zero), a FIFO without a writer, a socket or a folder is refused, also when a
// link leads to it. Returns the handle (close it with ::close) or -1 with *problem set in Russian
// ("файл не найден", "это не обычный файл"…). Without `followLinks` a link is refused too (files
// of shared folders that someone else may have planted).
int openRegularFile(const QString& path, QString* problem, bool followLinks = true);

// Reads a regular file of at most `limit` bytes whole. The size the system reports is not
// trusted: at most limit + 1 bytes are read, and a file that gives more is refused as too large.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit, QString* problem);

// Reads the first `count` bytes of a regular file (fewer when it is shorter), never more.
std::optional<QByteArray> readRegularFileStart(const QString& path, qint64 count, QString* problem);

// Reads up to `count` bytes from an open handle, retrying short reads, never past `count`.
// False with errno set when the system refuses.
bool readUpTo(int handle, qint64 count, QByteArray* data);
// The same into memory the caller holds: the bytes read (fewer than `count` only at the end of
// the file), or -1 with errno set when the system refuses.
qint64 readInto(int handle, char* into, qint64 count);

// An exclusive advisory lock on a file, taken without waiting. The system drops it when the
// process ends however it ends; release() also removes the lock file.
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Creates the file if needed and locks it; false when another process holds the lock.
    bool tryLock(const QString& path);
    bool isLocked() const { return m_handle >= 0; }
    // Writes a short note (the holder's process id) into the locked file.
    void writeNote(const QByteArray& note);
    // Removes the lock file, then gives up the lock.
    void release();
    // Gives up the lock and leaves the file.
    void unlock();

    // True when some process holds the lock on `path` now (an existing file only).
    static bool isHeld(const QString& path);

private:
    int m_handle = -1;
    QString m_path;
};

}  // namespace velmar
