#pragma once

#include "system/file_io.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <initializer_list>
#include <optional>

namespace velmar {

// The history keeps step N in <program folder>/temp/tempN.tm1 (a complete outline) or
// tempN.tm2 (the header record alone).
inline constexpr int kHighestScannedStep = 1000;

// The complete snapshot of a step in the shared folder <program folder>/temp.
QString fullSnapshotPath(const QString& programFolder, int step);

// The same names inside a given history folder (see HistoryFolder).
QString snapshotPathIn(const QString& historyFolder, int step, bool full);

// Makes `snapshot` (a complete snapshot's name, not yet present) a second copy of `source` without
// writing its bytes: a clone sharing the file's blocks where the file system offers it, else a
// hard link, with a note beside it of the file's size, time and inode. False (and nothing left
// behind) when neither is possible, e.g. across file systems.
bool linkSnapshot(const QString& source, const QString& snapshot);

// False when `snapshot` is a hard link whose file another program has since written into in
// place: it no longer holds the step. Snapshots written by the history itself are always intact.
bool snapshotIntact(const QString& snapshot);

// Removes a snapshot together with its link note, if any.
void removeSnapshot(const QString& snapshot);

// The step number of a snapshot file name ("temp12.tm1" → 12), or -1 for a name the history
// never writes (leading zeros, signs, other extensions).
int snapshotStep(const QString& fileName, bool* full = nullptr);

// The names in `folder` (of the kinds `filters` lets through) that begin with `prefix` and end with
// one of `suffixes`, case counting, in name order. Compared by hand rather than with QDir's name
// filters, which compile a regular expression for every listing: the start-up and the clean end
// list the history folders.
QStringList namesIn(const QDir& folder, QStringView prefix, std::initializer_list<QStringView> suffixes,
                    QDir::Filters filters);

// The highest step 1000..0 whose complete snapshot exists in a folder, or -1 when there is none.
int findFullSnapshotIn(const QString& historyFolder);

// The folder in which one running instance keeps its snapshots. The first instance locks
// <program folder>/temp (an exclusive lock on temp/velmar.lock) and uses it, as files made on other
// systems expect; an instance started while another holds that lock uses a private subfolder
// temp/instance-<tag> (an unpredictable name by default), so two instances never touch each other's
// history. The system drops the lock when its holder ends, however it ends, so the folder of an
// instance that crashed is taken over by the next one together with the snapshots left there.
class HistoryFolder {
public:
    explicit HistoryFolder(const QString& programFolder, const QString& instanceTag = QString());
    ~HistoryFolder();
    HistoryFolder(const HistoryFolder&) = delete;
    HistoryFolder& operator=(const HistoryFolder&) = delete;

    const QString& path() const { return m_path; }
    // True when this instance holds temp/ itself.
    bool isShared() const { return m_shared; }
    // The highest full snapshot 1000..0 in this instance's folder: work interrupted by a crash of
    // an earlier instance. Another live instance's snapshots are never in it.
    int interruptedStep() const { return findFullSnapshotIn(m_path); }

private:
    QString m_path;
    bool m_shared = false;
    FileLock m_lock;
};

// This process's history folder for a program folder, claimed on first use and kept until the
// process ends. Without an argument: for programFolder() ($VELMAR_HOME or the data folder).
QString historyFolder(const QString& programFolder);
QString historyFolder();
// Gives up this process's claim on a program folder's history (its lock, and its private folder
// when empty). The next historyFolder() call claims anew.
void releaseHistoryFolder(const QString& programFolder);

// The highest step 1000..0 whose complete snapshot was left behind by interrupted work, or -1
// when there is none. Claims the history folder; when another running instance holds temp/, its
// snapshots are not leftovers and -1 is returned.
int findInterruptedSnapshot(const QString& programFolder);

// Work left behind by a second instance that ended without cleaning up: its private folder
// temp/instance-<tag>, whose lock no running process holds, and the newest complete snapshot in it.
struct InterruptedWork {
    QString folder;
    int step = -1;
};

// The most recently written interrupted work among the private folders of other instances (never
// `except`, this instance's own folder), or nothing.
std::optional<InterruptedWork> findInterruptedInstanceWork(const QString& programFolder, const QString& except);

// Moves the snapshots of interrupted work into a history folder, whose own snapshots are removed
// first, and removes the work's folder. Returns the path of the work's complete snapshot in its new
// place, or empty when the work is gone (another instance took it over meanwhile).
QString adoptInterruptedWork(const InterruptedWork& work, const QString& historyFolder);

// Removes interrupted work with its folder.
void discardInterruptedWork(const InterruptedWork& work);

}  // namespace velmar
