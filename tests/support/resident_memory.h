#pragma once

#include <QByteArray>
#include <QFile>

namespace velmar::test {

// The process's resident memory in KiB, from /proc/self/status (0 where it cannot be read).
inline long long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

inline double residentMb() { return double(residentKb()) / 1024.0; }

}  // namespace velmar::test
