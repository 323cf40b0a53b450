#include "storage/snapshot_files.h"

#include <QDir>
#include <QFileInfo>

namespace velmar {

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

int findInterruptedSnapshot(const QString& programFolder)
{
    // One listing instead of a thousand existence tests keeps the start-up scan cheap.
    const QDir temp(QDir(programFolder).filePath(QStringLiteral("temp")));
    const QStringList names = temp.entryList({QStringLiteral("temp*.tm1")}, QDir::Files);
    int best = -1;
    for (const QString& name : names) {
        const QString digits = name.mid(4, name.size() - 8);
        bool ok = false;
        const int step = digits.toInt(&ok);
        // The step must be written exactly as the history writes it: decimal, no leading zeros.
        if (ok && step >= 0 && step <= kHighestScannedStep && QString::number(step) == digits)
            best = std::max(best, step);
    }
    return best;
}

}  // namespace velmar
