#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace velmar {

// Who holds an outline open for editing, as its lock file says.
struct LockOwner {
    QString user;      // the account name
    QString fullName;  // the person's name the account gives, or empty
    QString host;      // the computer's name
    qint64 pid = 0;    // the process on that computer
    QDateTime since;   // when the outline was opened there (UTC)
};

// The lock file beside an outline: ".~lock.NAME#" in the outline's folder, as office programs
// name theirs, so that a file manager hides it and another Velmar (on this computer or another
// one using the same USB stick or network share) can tell who has the outline open.
QString lockFilePath(const QString& outline);

// How long a lock written on another computer counts, since its holder last refreshed it: a
// computer that went away without closing the outline does not keep it locked for ever.
inline constexpr qint64 kForeignLockHours = 24;

// The owner of a lock on `outline` that is in force: none when there is no lock file, when the
// file is not a lock Velmar wrote, when it is this process's own, when its process is gone on
// this computer, or when another computer's lock was last refreshed more than kForeignLockHours
// ago.
std::optional<LockOwner> lockHolder(const QString& outline);

// This process's lock on one outline: taken at open, refreshed while the outline stays open,
// removed at close. A folder where no file can be made (read-only media) leaves the outline
// unlocked; nothing else depends on the lock.
class OutlineLock {
public:
    OutlineLock() = default;
    ~OutlineLock() { release(); }
    OutlineLock(const OutlineLock&) = delete;
    OutlineLock& operator=(const OutlineLock&) = delete;

    // Releases any lock held, then writes a lock for `outline`, replacing a lock that is not in
    // force. False when another holder's lock is in force or the file cannot be made.
    bool take(const QString& outline);
    // Removes the lock file if it is still this process's lock.
    void release();
    // Touches the lock file, so that other computers keep counting it as in force.
    void refresh() const;
    bool held() const { return !m_outline.isEmpty(); }
    // The outline whose lock is held (empty when none).
    const QString& outline() const { return m_outline; }

    // This process as a lock owner (now as `since`).
    static LockOwner thisProcess();

private:
    QString m_outline;
    QByteArray m_written;  // the lock file's contents, to know it is still ours
};

}  // namespace velmar
