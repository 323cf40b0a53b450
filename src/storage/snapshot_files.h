#pragma once

#include <QString>

namespace velmar {

// The history keeps step N in <program folder>/temp/tempN.tm1 (a complete outline) or
// tempN.tm2 (the header record alone).
inline constexpr int kHighestScannedStep = 1000;

QString snapshotBaseName(const QString& programFolder, int step);
QString fullSnapshotPath(const QString& programFolder, int step);
QString headerSnapshotPath(const QString& programFolder, int step);

// The highest step 1000..0 whose complete snapshot exists (left behind by interrupted work),
// or -1 when there is none.
int findInterruptedSnapshot(const QString& programFolder);

}  // namespace velmar
