#include "storage/snapshot_files.h"

#include "system/file_io.h"
#include "system/working_folders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

namespace {

const QString kLockName = QStringLiteral("velmar.lock");
const QString kInstancePrefix = QStringLiteral("instance-");

QString tempFolder(const QString& programFolder) { return QDir(programFolder).filePath(QStringLiteral("temp")); }

// Takes the exclusive lock of a history folder without waiting, noting the holder's process id in
// the lock file for whoever looks at the folder (the lock holds without it).
bool lockFolder(FileLock& lock, const QString& folder)
{
    QDir().mkpath(folder);
    if (!lock.tryLock(QDir(folder).filePath(kLockName)))
        return false;
    lock.writeNote(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
    return true;
}

// The note kept beside a complete snapshot that is a hard link: tempN.tm1 → tempN.tml.
QString linkNotePath(const QString& snapshot)
{
    QString note = snapshot;
    note.chop(1);
    return note + QLatin1Char('l');
}

// What identifies a file's contents without reading them: inode, size, modification time.
QByteArray fileIdentity(const struct stat& info)
{
    return QByteArray::number(qulonglong(info.st_dev)) + ' ' + QByteArray::number(qulonglong(info.st_ino)) + ' '
           + QByteArray::number(qlonglong(info.st_size)) + ' ' + QByteArray::number(qlonglong(info.st_mtim.tv_sec))
           + ' ' + QByteArray::number(qlonglong(info.st_mtim.tv_nsec)) + '\n';
}

// The snapshot files of a folder (link notes included), by name.
QStringList snapshotNames(const QDir& folder)
{
    QStringList names;
    for (const QString& name : namesIn(folder, u"temp", {u".tm1", u".tm2"}, QDir::Files))
        if (snapshotStep(name) >= 0)
            names << name;
    for (const QString& name : namesIn(folder, u"temp", {u".tml"}, QDir::Files)) {
        QString snapshot = name;
        snapshot.chop(1);
        if (snapshotStep(snapshot + QLatin1Char('1')) >= 0)
            names << name;
    }
    return names;
}

// A clone of `source` at `target` sharing its blocks (copy on write), where the file system can.
bool cloneFile(const QByteArray& source, const QByteArray& target)
{
    const int from = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return false;
    const int to = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool ok = false;
    if (to >= 0) {
        ok = ::ioctl(to, FICLONE, from) == 0;
        ::close(to);
        if (!ok)
            ::unlink(target.constData());
    }
    ::close(from);
    return ok;
}

}  // namespace

QString fullSnapshotPath(const QString& programFolder, int step)
{
    return snapshotPathIn(tempFolder(programFolder), step, true);
}

QString snapshotPathIn(const QString& historyFolder, int step, bool full)
{
    return QDir(historyFolder)
        .filePath(QStringLiteral("temp") + QString::number(step)
                  + (full ? QStringLiteral(".tm1") : QStringLiteral(".tm2")));
}

bool linkSnapshot(const QString& source, const QString& snapshot)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(snapshot);
    const QString note = linkNotePath(snapshot);
    QFile::remove(note);
    if (cloneFile(from, to))
        return true;  // an independent copy: nothing written into the source can reach it
    struct stat info {};
    if (::stat(from.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // The note goes first: a snapshot that is a link is never without it.
    QFile noteFile(note);
    if (!noteFile.open(QIODevice::WriteOnly | QIODevice::NewOnly) || noteFile.write(fileIdentity(info)) < 0
        || !noteFile.flush()) {
        noteFile.remove();
        return false;
    }
    noteFile.close();
    if (::link(from.constData(), to.constData()) != 0) {
        QFile::remove(note);
        return false;
    }
    // The file may have changed between the look and the link.
    struct stat linked {};
    if (::stat(to.constData(), &linked) != 0 || fileIdentity(linked) != fileIdentity(info)) {
        removeSnapshot(snapshot);
        return false;
    }
    return true;
}

bool snapshotIntact(const QString& snapshot)
{
    QFile note(linkNotePath(snapshot));
    if (!note.exists())
        return true;
    struct stat info {};
    if (!note.open(QIODevice::ReadOnly) || ::stat(QFile::encodeName(snapshot).constData(), &info) != 0)
        return false;
    return note.read(256) == fileIdentity(info);
}

void removeSnapshot(const QString& snapshot)
{
    QFile::remove(snapshot);
    if (snapshot.endsWith(QStringLiteral(".tm1")))
        QFile::remove(linkNotePath(snapshot));
}

QStringList namesIn(const QDir& folder, QStringView prefix, std::initializer_list<QStringView> suffixes,
                    QDir::Filters filters)
{
    QStringList names = folder.entryList(filters);
    names.removeIf([&](const QString& name) {
        return !name.startsWith(prefix) || std::none_of(suffixes.begin(), suffixes.end(), [&](QStringView suffix) {
            return name.size() >= prefix.size() + suffix.size() && name.endsWith(suffix);
        });
    });
    return names;
}

int snapshotStep(const QString& fileName, bool* full)
{
    const bool isFull = fileName.endsWith(QStringLiteral(".tm1"));
    if (!fileName.startsWith(QStringLiteral("temp")) || (!isFull && !fileName.endsWith(QStringLiteral(".tm2"))))
        return -1;
    const QString digits = fileName.mid(4, fileName.size() - 8);
    bool ok = false;
    const int step = digits.toInt(&ok);
    // The step must be written exactly as the history writes it: decimal, no leading zeros.
    if (!ok || step < 0 || QString::number(step) != digits)
        return -1;
    if (full)
        *full = isFull;
    return step;
}

int findFullSnapshotIn(const QString& historyFolder)
{
    // One listing instead of a thousand existence tests keeps the start-up scan cheap.
    const QStringList names = namesIn(QDir(historyFolder), u"temp", {u".tm1"}, QDir::Files);
    int best = -1;
    for (const QString& name : names) {
        const int step = snapshotStep(name);
        // A linked file that another program has written into since is no snapshot of ours.
        if (step > best && step <= kHighestScannedStep && snapshotIntact(QDir(historyFolder).filePath(name)))
            best = step;
    }
    return best;
}

HistoryFolder::HistoryFolder(const QString& programFolder, const QString& instanceTag)
{
    const QString temp = tempFolder(programFolder);
    if (lockFolder(m_lock, temp)) {
        m_shared = true;
        m_path = temp;
        return;
    }
    if (!instanceTag.isEmpty()) {
        m_path = QDir(temp).filePath(kInstancePrefix + instanceTag);
        lockFolder(m_lock, m_path);  // marks the private folder as in use while we run
        return;
    }
    // A name nobody can guess, made by us (mkdir fails on anything already there, a planted link
    // included), readable by us alone.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString tag = QStringLiteral("%1%2")
                                .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'))
                                .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
        const QString path = QDir(temp).filePath(kInstancePrefix + tag);
        if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0) {
            m_path = path;
            lockFolder(m_lock, m_path);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    // temp/ takes no new folder (read-only, full): the history goes to a private folder of the
    // system's temporary folder, again under a name nobody can guess beforehand. It is not
    // offered after a crash, but undo and redo work.
    QByteArray pattern = QFile::encodeName(QDir(QDir::tempPath()).filePath(QStringLiteral("velmar-history-XXXXXX")));
    if (::mkdtemp(pattern.data())) {
        m_path = QFile::decodeName(pattern);
        lockFolder(m_lock, m_path);
        return;
    }
    // Nowhere to write: a name that exists nowhere, so each step reports why it is not kept.
    m_path = QDir(temp).filePath(
        kInstancePrefix + QStringLiteral("%1").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0')));
}

HistoryFolder::~HistoryFolder()
{
    // A clean end removes the lock file (after which the lock is let go; a later instance checks
    // that the file it locked is still the one named velmar.lock). A private folder goes away
    // with its instance once its history has been cleaned up.
    if (!m_lock.isLocked())
        return;
    m_lock.release();
    if (!m_shared)
        QDir().rmdir(m_path);
}

namespace {

std::map<QString, std::unique_ptr<HistoryFolder>>& claims()
{
    static std::map<QString, std::unique_ptr<HistoryFolder>> claimed;
    return claimed;
}

QString claimKey(const QString& programFolder) { return QDir::cleanPath(QDir(programFolder).absolutePath()); }

}  // namespace

QString historyFolder(const QString& programFolder)
{
    const QString key = claimKey(programFolder);
    std::unique_ptr<HistoryFolder>& claim = claims()[key];
    if (!claim)
        claim = std::make_unique<HistoryFolder>(key);
    return claim->path();
}

void releaseHistoryFolder(const QString& programFolder) { claims().erase(claimKey(programFolder)); }

QString historyFolder() { return historyFolder(programFolder()); }

int findInterruptedSnapshot(const QString& programFolder)
{
    const QString folder = historyFolder(programFolder);
    if (folder != QDir::cleanPath(QDir(tempFolder(programFolder)).absolutePath()))
        return -1;
    return findFullSnapshotIn(folder);
}

std::optional<InterruptedWork> findInterruptedInstanceWork(const QString& programFolder, const QString& except)
{
    const QDir temp(tempFolder(programFolder));
    std::optional<InterruptedWork> newest;
    QDateTime newestTime;
    for (const QString& name : namesIn(temp, kInstancePrefix, {u""}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = QDir::cleanPath(temp.absoluteFilePath(name));
        if (!except.isEmpty() && folder == QDir::cleanPath(QDir(except).absolutePath()))
            continue;
        if (FileLock::isHeld(QDir(folder).filePath(kLockName)))
            continue;  // a running instance's history
        const int step = findFullSnapshotIn(folder);
        if (step < 0)
            continue;
        QDateTime latest;
        for (const QString& snapshot : snapshotNames(QDir(folder)))
            latest = std::max(latest, QFileInfo(QDir(folder).filePath(snapshot)).lastModified());
        if (!newest || latest > newestTime) {
            newest = InterruptedWork{folder, step};
            newestTime = latest;
        }
    }
    return newest;
}

QString adoptInterruptedWork(const InterruptedWork& work, const QString& historyFolder)
{
    FileLock lock;
    if (!lockFolder(lock, work.folder))
        return {};  // another instance took it over meanwhile
    const QDir target(historyFolder);
    QDir().mkpath(historyFolder);
    for (const QString& name : snapshotNames(target))
        QFile::remove(target.filePath(name));
    const QDir source(work.folder);
    for (const QString& name : snapshotNames(source))
        if (!QFile::rename(source.filePath(name), target.filePath(name)))
            QFile::remove(source.filePath(name));
    lock.release();
    QDir().rmdir(work.folder);
    const QString adopted = snapshotPathIn(historyFolder, work.step, true);
    return QFileInfo::exists(adopted) ? adopted : QString();
}

void discardInterruptedWork(const InterruptedWork& work)
{
    FileLock lock;
    if (!lockFolder(lock, work.folder))
        return;
    const QDir source(work.folder);
    for (const QString& name : snapshotNames(source))
        QFile::remove(source.filePath(name));
    lock.release();
    QDir().rmdir(work.folder);
}

}  // namespace velmar
