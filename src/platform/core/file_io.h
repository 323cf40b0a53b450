#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

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

// Writes `content` to `path` (creating its folder) only when the file does not already hold
// exactly these bytes, so that unchanged files keep their dates and nothing is written in vain.
enum class WriteOutcome { Unchanged, Written, Failed };
WriteOutcome writeIfChanged(const QString& path, const QByteArray& content);

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
