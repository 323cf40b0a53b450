#include "storage/file_stamp.h"

#include "storage/outline_file.h"
#include "system/file_io.h"

#include <bit>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

namespace {

constexpr quint64 kPrime1 = 0x9E3779B185EBCA87ull, kPrime2 = 0xC2B2AE3D27D4EB4Full, kPrime3 = 0x165667B19E3779F9ull,
                  kPrime4 = 0x85EBCA77C2B2AE63ull, kPrime5 = 0x27D4EB2F165667C5ull;

quint64 word(const char* p)
{
    quint64 w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

quint64 mixedIn(quint64 lane, quint64 w) { return std::rotl(lane + w * kPrime2, 31) * kPrime1; }

quint64 folded(quint64 h, quint64 lane) { return (h ^ mixedIn(0, lane)) * kPrime1 + kPrime4; }

}  // namespace

quint64 FileStamp::recordHashOf(QByteArrayView record)
{
    // Four independent lanes over 32-byte stripes (the processor works on them side by side),
    // folded together with the length, then the tail, then a final avalanche so that every input
    // bit reaches every output bit.
    const char* p = record.data();
    const char* const end = p + record.size();
    quint64 h;
    if (record.size() >= 32) {
        quint64 lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
        for (; end - p >= 32; p += 32)
            for (int k = 0; k < 4; ++k)
                lanes[k] = mixedIn(lanes[k], word(p + 8 * k));
        h = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) + std::rotl(lanes[3], 18);
        for (const quint64 lane : lanes)
            h = folded(h, lane);
    } else {
        h = kPrime5;
    }
    h += quint64(record.size());
    for (; end - p >= 8; p += 8)
        h = std::rotl(h ^ mixedIn(0, word(p)), 27) * kPrime1 + kPrime4;
    for (; p < end; ++p)
        h = std::rotl(h ^ (quint64(quint8(*p)) * kPrime5), 11) * kPrime1;
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return h;
}

FileStamp FileStamp::of(const QString& path)
{
    FileStamp stamp;
    QString problem;
    const int handle = openRegularFile(path, &problem);
    if (handle < 0)
        return stamp;
    struct stat info {};
    QByteArray record;
    if (::fstat(handle, &info) == 0 && readUpTo(handle, layout::kHeaderSize, &record)) {
        stamp.exists = true;
        stamp.size = qint64(info.st_size);
        stamp.modifiedMs = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
        stamp.recordHash = recordHashOf(record);
    }
    ::close(handle);
    return stamp;
}

bool FileStamp::changedIn(const FileStamp& now) const
{
    if (!now.exists)
        return false;
    if (!exists)
        return true;
    return now.size != size || now.modifiedMs != modifiedMs || now.recordHash != recordHash;
}

}  // namespace velmar
