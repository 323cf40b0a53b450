#include "storage/snapshot_files.h"

#include "platform/core/working_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmar {

namespace {

const QString kLockName = QStringLiteral("velmar.lock");

QString tempFolder(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("temp"));
}

// Takes the exclusive lock of a folder without waiting: the open handle, or -1 when another
// instance holds it. The lock lives with the handle; the system releases it when the process ends.
int tryLockFolder(const QString& folder)
{
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(kLockName));
    const int handle = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (handle < 0)
        return -1;
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        ::close(handle);
        return -1;
    }
    // The holder's process id, for whoever looks at the folder; the lock holds without it.
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    if (::ftruncate(handle, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::write(handle, pid.constData(), std::size_t(pid.size()));
    }
    return handle;
}

}  // namespace

QString snapshotBaseName(const QString& programFolder, int step)
{
    return QDir(programFolder).filePath(QStringLiteral("temp/temp") + QString::number(step));
}

QString fullSnapshotPath(const QString& programFolder, int step)
{
    return snapshotBaseName(programFolder, step) + QStringLiteral(".tm1");
}

QString headerSnapshotPath(const QString& programFolder, int step)
{
    return snapshotBaseName(programFolder, step) + QStringLiteral(".tm2");
}

QString snapshotPathIn(const QString& historyFolder, int step, bool full)
{
    return QDir(historyFolder).filePath(QStringLiteral("temp") + QString::number(step)
                                        + (full ? QStringLiteral(".tm1") : QStringLiteral(".tm2")));
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
    const QStringList names = QDir(historyFolder).entryList({QStringLiteral("temp*.tm1")}, QDir::Files);
    int best = -1;
    for (const QString& name : names) {
        const int step = snapshotStep(name);
        if (step >= 0 && step <= kHighestScannedStep)
            best = std::max(best, step);
    }
    return best;
}

HistoryFolder::HistoryFolder(const QString& programFolder, const QString& instanceTag)
{
    const QString temp = tempFolder(programFolder);
    m_lockHandle = tryLockFolder(temp);
    if (m_lockHandle >= 0) {
        m_shared = true;
        m_path = temp;
        return;
    }
    const QString tag = instanceTag.isEmpty() ? QString::number(QCoreApplication::applicationPid()) : instanceTag;
    m_path = QDir(temp).filePath(QStringLiteral("instance-") + tag);
    m_lockHandle = tryLockFolder(m_path);  // marks the private folder as in use while we run
}

HistoryFolder::~HistoryFolder()
{
    // The shared lock file stays: removing it could let two later instances lock two different
    // files of the same name. A private folder goes away with its instance once its history has
    // been cleaned up.
    if (!m_shared && m_lockHandle >= 0) {
        QFile::remove(QDir(m_path).filePath(kLockName));
        QDir().rmdir(m_path);
    }
    if (m_lockHandle >= 0)
        ::close(m_lockHandle);
}

namespace {

std::map<QString, std::unique_ptr<HistoryFolder>>& claims()
{
    static std::map<QString, std::unique_ptr<HistoryFolder>> claimed;
    return claimed;
}

QString claimKey(const QString& programFolder)
{
    return QDir::cleanPath(QDir(programFolder).absolutePath());
}

}  // namespace

QString historyFolder(const QString& programFolder)
{
    const QString key = claimKey(programFolder);
    std::unique_ptr<HistoryFolder>& claim = claims()[key];
    if (!claim)
        claim = std::make_unique<HistoryFolder>(key);
    return claim->path();
}

void releaseHistoryFolder(const QString& programFolder)
{
    claims().erase(claimKey(programFolder));
}

QString historyFolder()
{
    return historyFolder(programFolder());
}

int findInterruptedSnapshot(const QString& programFolder)
{
    const QString folder = historyFolder(programFolder);
    if (folder != QDir::cleanPath(QDir(tempFolder(programFolder)).absolutePath()))
        return -1;
    return findFullSnapshotIn(folder);
}

}  // namespace velmar
