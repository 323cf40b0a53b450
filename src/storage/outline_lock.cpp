#include "storage/outline_lock.h"

#include "system/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace velmar {

namespace {

constexpr qint64 kLockFileLimit = 4096;
const QByteArray kMagic = QByteArrayLiteral("Velmar lock");

QByteArray encode(const LockOwner& owner)
{
    QByteArray text = kMagic + '\n';
    const auto line = [&text](const char* key, const QString& value) {
        // Names are one line each: a line break in a name cannot make up a field.
        QString clean = value;
        clean.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        text += key + QByteArray("=") + clean.toUtf8() + '\n';
    };
    line("user", owner.user);
    line("name", owner.fullName);
    line("host", owner.host);
    line("pid", QString::number(owner.pid));
    line("since", owner.since.toUTC().toString(Qt::ISODate));
    return text;
}

std::optional<LockOwner> decode(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first() != kMagic)
        return std::nullopt;
    LockOwner owner;
    for (const QByteArray& line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq);
        const QString value = QString::fromUtf8(line.mid(eq + 1));
        if (key == "user")
            owner.user = value;
        else if (key == "name")
            owner.fullName = value;
        else if (key == "host")
            owner.host = value;
        else if (key == "pid")
            owner.pid = value.toLongLong();
        else if (key == "since")
            owner.since = QDateTime::fromString(value, Qt::ISODate);
    }
    if (owner.host.isEmpty() || owner.pid <= 0)
        return std::nullopt;
    return owner;
}

bool processRunning(qint64 pid)
{
    if (pid <= 0 || pid > 0x7fffffff)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// Reads a lock file without following a link or blocking on anything but a regular file.
std::optional<QByteArray> readLockFile(const QString& path, struct stat* info)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        return std::nullopt;
    QByteArray data;
    const bool ok = ::fstat(handle, info) == 0 && S_ISREG(info->st_mode) && readUpTo(handle, kLockFileLimit, &data);
    ::close(handle);
    if (!ok)
        return std::nullopt;
    return data;
}

bool inForce(const LockOwner& owner, const struct stat& info)
{
    const LockOwner me = OutlineLock::thisProcess();
    if (owner.host == me.host) {
        if (owner.pid == me.pid)
            return false;
        return processRunning(owner.pid);
    }
    // Another computer's process cannot be asked: its lock counts until it has not been
    // refreshed for a long time. The file's time is the file server's, the same for every
    // computer that reads it.
    const qint64 age = qint64(::time(nullptr)) - qint64(info.st_mtim.tv_sec);
    return age < kForeignLockHours * 3600;
}

}  // namespace

QString lockFilePath(const QString& outline)
{
    const QFileInfo file(outline);
    return file.dir().filePath(QStringLiteral(".~lock.") + file.fileName() + QLatin1Char('#'));
}

std::optional<LockOwner> lockHolder(const QString& outline)
{
    struct stat info {};
    const auto text = readLockFile(lockFilePath(outline), &info);
    if (!text)
        return std::nullopt;
    const auto owner = decode(*text);
    if (!owner || !inForce(*owner, info))
        return std::nullopt;
    return owner;
}

LockOwner OutlineLock::thisProcess()
{
    LockOwner me;
    me.host = QSysInfo::machineHostName();
    me.pid = qint64(::getpid());
    me.since = QDateTime::currentDateTimeUtc();
    if (const passwd* account = ::getpwuid(::getuid())) {
        me.user = QString::fromLocal8Bit(account->pw_name);
        // The name field may carry office and telephone after commas.
        me.fullName = QString::fromLocal8Bit(account->pw_gecos).section(QLatin1Char(','), 0, 0).trimmed();
    }
    if (me.user.isEmpty())
        me.user = qEnvironmentVariable("USER");
    return me;
}

bool OutlineLock::take(const QString& outline)
{
    release();
    if (lockHolder(outline))
        return false;
    const QString path = lockFilePath(outline);
    const QByteArray encoded = QFile::encodeName(path);
    // A lock not in force (or not a lock at all) gives way; a link planted there is removed,
    // never written through.
    struct stat info {};
    if (::lstat(encoded.constData(), &info) == 0)
        ::unlink(encoded.constData());
    const int handle = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (handle < 0)
        return false;
    const QByteArray text = encode(thisProcess());
    const bool written = ::write(handle, text.constData(), std::size_t(text.size())) == text.size();
    ::close(handle);
    if (!written) {
        ::unlink(encoded.constData());
        return false;
    }
    m_outline = outline;
    m_written = text;
    return true;
}

void OutlineLock::release()
{
    if (m_outline.isEmpty())
        return;
    const QString path = lockFilePath(m_outline);
    struct stat info {};
    // Another Velmar may have taken the outline over (ours had gone stale): its lock stays.
    if (const auto text = readLockFile(path, &info); text && *text == m_written)
        ::unlink(QFile::encodeName(path).constData());
    m_outline.clear();
    m_written.clear();
}

void OutlineLock::refresh() const
{
    if (m_outline.isEmpty())
        return;
    const QString path = lockFilePath(m_outline);
    struct stat info {};
    if (const auto text = readLockFile(path, &info); text && *text == m_written)
        ::utimes(QFile::encodeName(path).constData(), nullptr);
}

}  // namespace velmar
