#include "system/file_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace velmar {

namespace {

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

int openRetrying(const char* path, int flags, mode_t mode = 0)
{
    int handle;
    do
        handle = ::open(path, flags | O_CLOEXEC, mode);
    while (handle < 0 && errno == EINTR);
    return handle;
}

// Writes every piece, in batches through writev; false with errno set when the system refuses.
bool writeAll(int handle, const std::vector<QByteArrayView>& pieces)
{
    constexpr std::size_t kBatch = 512;
    std::vector<iovec> vectors;
    vectors.reserve(std::min(pieces.size(), kBatch));
    std::size_t next = 0;
    while (next < pieces.size()) {
        vectors.clear();
        for (; next < pieces.size() && vectors.size() < kBatch; ++next)
            if (!pieces[next].isEmpty())
                vectors.push_back({const_cast<char*>(pieces[next].data()), std::size_t(pieces[next].size())});
        std::size_t first = 0;
        while (first < vectors.size()) {
            const ssize_t written = ::writev(handle, vectors.data() + first, int(vectors.size() - first));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (written == 0) {
                errno = EIO;
                return false;
            }
            // Skip what went out; a partly written vector continues where it stopped.
            auto left = std::size_t(written);
            while (first < vectors.size() && left >= vectors[first].iov_len)
                left -= vectors[first++].iov_len;
            if (left > 0) {
                vectors[first].iov_base = static_cast<char*>(vectors[first].iov_base) + left;
                vectors[first].iov_len -= left;
            }
        }
    }
    return true;
}

FileWriteStatus failed(int error) { return {false, systemErrorText(error)}; }

// Closes a handle; a delayed write error (network or full disks report them here) counts.
bool closeHandle(int handle) { return ::close(handle) == 0 || errno == EINTR; }

}  // namespace

QString systemErrorText(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return QCoreApplication::translate("FileIo", "Недостаточно места на диске");
    case EACCES:
    case EPERM: return QCoreApplication::translate("FileIo", "Нет прав на запись");
    case EROFS: return QCoreApplication::translate("FileIo", "Диск доступен только для чтения");
    case ENOENT: return QCoreApplication::translate("FileIo", "Папка не найдена");
    case ENOTDIR: return QCoreApplication::translate("FileIo", "Путь проходит через файл, а не через папку");
    case EISDIR: return QCoreApplication::translate("FileIo", "Это папка");
    case EFBIG: return QCoreApplication::translate("FileIo", "Файл слишком велик");
    case EIO: return QCoreApplication::translate("FileIo", "Ошибка ввода-вывода");
    case ENAMETOOLONG: return QCoreApplication::translate("FileIo", "Слишком длинное имя файла");
    default:
        return QCoreApplication::translate("FileIo", "Системная ошибка %1 (%2)")
            .arg(error)
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

FileWriteStatus replaceFile(const QString& path, const std::vector<QByteArrayView>& pieces, bool durable)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir())
        return failed(EISDIR);
    const QString folder = targetInfo.absolutePath();

    // A hidden name beside the target, in the same file system, so that the rename is atomic.
    QByteArray temporary;
    int handle = -1;
    for (int attempt = 0; attempt < 100 && handle < 0; ++attempt) {
        const QString name = QStringLiteral(".%1.%2")
                                 .arg(targetInfo.fileName())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        temporary = nativePath(QDir(folder).filePath(name));
        handle = openRetrying(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL, 0666);  // the umask applies
        if (handle < 0 && errno != EEXIST)
            return failed(errno);
    }
    if (handle < 0)
        return failed(EEXIST);

    struct stat existing {};
    if (::stat(nativePath(target).constData(), &existing) == 0)
        ::fchmod(handle, existing.st_mode & 07777);

    int error = 0;
    if (!writeAll(handle, pieces) || (durable && ::fsync(handle) != 0))
        error = errno;
    if (!closeHandle(handle) && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), nativePath(target).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return failed(error);
    }
    if (durable) {
        // The rename itself reaches the disk with the folder's entry.
        const int folderHandle = openRetrying(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY);
        if (folderHandle >= 0) {
            ::fsync(folderHandle);
            ::close(folderHandle);
        }
    }
    return {true, {}};
}

FileWriteStatus overwriteFile(const QString& path, const std::vector<QByteArrayView>& pieces)
{
    const int handle = openRetrying(nativePath(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (handle < 0)
        return failed(errno);
    int error = 0;
    if (!writeAll(handle, pieces))
        error = errno;
    if (!closeHandle(handle) && error == 0)
        error = errno;
    return error == 0 ? FileWriteStatus{true, {}} : failed(error);
}

int openRegularFile(const QString& path, QString* problem, bool followLinks)
{
    // O_NONBLOCK: opening a FIFO nobody writes to would otherwise wait for ever.
    const int handle =
        openRetrying(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW));
    if (handle < 0) {
        const int error = errno;
        if (problem)
            *problem = error == ENOENT ? QCoreApplication::translate("FileIo", "файл не найден")
                       : error == ELOOP && !followLinks
                           ? QCoreApplication::translate("FileIo", "это ссылка")
                           : QCoreApplication::translate("FileIo", "файл не открывается для чтения (%1)")
                                 .arg(systemErrorText(error));
        return -1;
    }
    struct stat info {};
    if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool folder = S_ISDIR(info.st_mode);
        ::close(handle);
        if (problem)
            *problem = folder
                           ? QCoreApplication::translate("FileIo", "это папка")
                           : QCoreApplication::translate("FileIo", "это не обычный файл (устройство, канал или сокет)");
        return -1;
    }
    return handle;
}

qint64 readInto(int handle, char* into, qint64 count)
{
    qint64 have = 0;
    while (have < count) {
        const ssize_t got = ::read(handle, into + have, std::size_t(count - have));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        have += got;
    }
    return have;
}

bool readUpTo(int handle, qint64 count, QByteArray* data)
{
    data->clear();
    // The buffer grows with what actually arrives, not with what is asked for.
    constexpr qint64 kPiece = 1 << 20;
    qint64 have = 0;
    while (have < count) {
        const qint64 piece = std::min(kPiece, count - have);
        data->resize(qsizetype(have + piece));
        const qint64 got = readInto(handle, data->data() + have, piece);
        if (got < 0) {
            data->clear();
            return false;
        }
        have += got;
        if (got < piece)
            break;  // the end of the file
    }
    data->resize(qsizetype(have));
    return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit, QString* problem)
{
    const int handle = openRegularFile(path, problem);
    if (handle < 0)
        return std::nullopt;
    QByteArray data;
    const bool read = readUpTo(handle, limit + 1, &data);
    const int error = errno;
    ::close(handle);
    if (!read) {
        if (problem)
            *problem = QCoreApplication::translate("FileIo", "ошибка чтения (%1)").arg(systemErrorText(error));
        return std::nullopt;
    }
    if (data.size() > limit) {
        if (problem)
            *problem = QCoreApplication::translate("FileIo", "файл слишком велик (больше %1 байт)").arg(limit);
        return std::nullopt;
    }
    return data;
}

std::optional<QByteArray> readRegularFileStart(const QString& path, qint64 count, QString* problem)
{
    const int handle = openRegularFile(path, problem);
    if (handle < 0)
        return std::nullopt;
    QByteArray data;
    const bool read = readUpTo(handle, count, &data);
    const int error = errno;
    ::close(handle);
    if (!read) {
        if (problem)
            *problem = QCoreApplication::translate("FileIo", "ошибка чтения (%1)").arg(systemErrorText(error));
        return std::nullopt;
    }
    return data;
}

FileWriteStatus writeWorkingFile(const QString& path, const std::vector<QByteArrayView>& pieces, bool atomically,
                                 int mode)
{
    const QByteArray native = nativePath(path);
    int handle = -1;
    QByteArray written = native;
    if (atomically) {
        // A hidden name in the same folder, renamed over `path` once complete: the rename replaces
        // whatever entry `path` is, a link included, and never its target.
        const QFileInfo info(path);
        for (int attempt = 0; attempt < 100 && handle < 0; ++attempt) {
            const QString name = QStringLiteral(".%1.%2")
                                     .arg(info.fileName())
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
            written = nativePath(QDir(info.absolutePath()).filePath(name));
            handle = openRetrying(written.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode_t(mode));
            if (handle < 0 && errno != EEXIST)
                return failed(errno);
        }
    } else {
        // Whatever stands at the name goes first; the new file must then be created by us.
        if (::unlink(native.constData()) != 0 && errno != ENOENT)
            return failed(errno);
        handle = openRetrying(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode_t(mode));
        if (handle < 0)
            return failed(errno);
    }
    if (handle < 0)
        return failed(EEXIST);
    int error = 0;
    if (!writeAll(handle, pieces))
        error = errno;
    if (!closeHandle(handle) && error == 0)
        error = errno;
    if (error == 0 && atomically && ::rename(written.constData(), native.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(written.constData());
        return failed(error);
    }
    return {true, {}};
}

WriteOutcome writeIfChanged(const QString& path, const QByteArray& content)
{
    const int handle = openRegularFile(path, nullptr, /*followLinks=*/false);
    if (handle >= 0) {
        QByteArray existing;
        const bool same = readUpTo(handle, content.size() + 1, &existing) && existing == content;
        ::close(handle);
        if (same)
            return WriteOutcome::Unchanged;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return WriteOutcome::Failed;
    return writeWorkingFile(path, {QByteArrayView(content)}, true, 0644).ok ? WriteOutcome::Written
                                                                            : WriteOutcome::Failed;
}

// --- FileLock ---------------------------------------------------------------------------------

FileLock::~FileLock() { unlock(); }

bool FileLock::tryLock(const QString& path)
{
    unlock();
    const QByteArray native = nativePath(path);
    // A holder that ends removes the file before it lets go of the lock; whoever locked the
    // removed file meanwhile must not count, so the lock holds only while the name still names
    // the file that was locked.
    for (int attempt = 0; attempt < 10; ++attempt) {
        // Never through a link, nor into anything but a plain file of our own: a lock file
        // planted in a shared folder must not make us write into its target.
        const int handle =
            openRetrying(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0644);
        if (handle < 0)
            return false;
        struct stat own {};
        if (::fstat(handle, &own) != 0 || !S_ISREG(own.st_mode) || own.st_uid != ::geteuid()) {
            ::close(handle);
            return false;
        }
        if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
            ::close(handle);
            return false;
        }
        struct stat locked {
        }, named{};
        if (::fstat(handle, &locked) == 0 && ::stat(native.constData(), &named) == 0 && locked.st_dev == named.st_dev
            && locked.st_ino == named.st_ino) {
            m_handle = handle;
            m_path = path;
            return true;
        }
        ::close(handle);
    }
    return false;
}

void FileLock::writeNote(const QByteArray& note)
{
    if (m_handle < 0)
        return;
    if (::ftruncate(m_handle, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(m_handle, note.constData(), std::size_t(note.size()), 0);
    }
}

void FileLock::release()
{
    if (m_handle < 0)
        return;
    ::unlink(nativePath(m_path).constData());
    unlock();
}

void FileLock::unlock()
{
    if (m_handle >= 0)
        ::close(m_handle);
    m_handle = -1;
    m_path.clear();
}

bool FileLock::isHeld(const QString& path)
{
    const int handle = openRetrying(nativePath(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (handle < 0)
        return false;
    struct stat info {};
    if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(handle);
        return false;
    }
    const bool held = ::flock(handle, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(handle);
    return held;
}

}  // namespace velmar
