#include "system/mapped_libraries.h"

#include <QFile>
#include <QSet>

namespace velmar {

QStringList mappedLibraries()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList libraries;
    QSet<QString> seen;
    // A line: address perms offset dev inode [path]; the path starts at the first '/'.
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const int slash = line.indexOf('/');
        if (slash < 0)
            continue;
        const QString path = QString::fromLocal8Bit(line.mid(slash)).trimmed();
        if (!path.contains(QLatin1String(".so")) || seen.contains(path))
            continue;
        seen.insert(path);
        libraries << path;
    }
    return libraries;
}

}  // namespace velmar
