#pragma once

#include <QByteArray>
#include <QFile>

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's runtime: empties its quarantine of freed blocks and hands them back.
extern "C" void __sanitizer_purge_allocator();
#endif

namespace velmar::test {

// The process's resident memory in KiB, from /proc/self/status (0 where it cannot be read).
// Under AddressSanitizer, freed blocks are first taken out of its quarantine, where they are kept
// unused (up to 256 MB) to catch late uses: memory the program let go of does not count.
inline long long residentKb()
{
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_purge_allocator();
#endif
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
