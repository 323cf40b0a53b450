#pragma once

#include <QByteArrayView>
#include <QString>

namespace velmar {

// What an outline file looked like when it was read or written, to tell later whether someone
// else has replaced it since. Timestamps alone cannot tell: USB sticks and network shares keep
// them to a second or two, and a file saved twice in that time keeps its size too. The record at
// the file's start holds every object's place, text and picture length, so its hash changes with
// any edit an outline can get.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedMs = 0;   // the modification time, milliseconds since the epoch
    quint64 recordHash = 0;  // recordHashOf() the first kHeaderSize bytes (the whole of a shorter file)

    // The stamp of the file at `path` now; a missing or unreadable file (or anything but a regular
    // file) gives exists = false.
    static FileStamp of(const QString& path);

    // Whether `now` shows the file changed against this stamp: another size, time or record.
    // A file that has gone since counts as unchanged (nothing there would be overwritten).
    bool changedIn(const FileStamp& now) const;

    // A 64-bit hash of the record: any change of a byte, or of the length, changes it but for a
    // chance of one in 2^64. It only tells this program's own reads apart, so it need not resist
    // someone forging a record on purpose, and is many times faster than a cryptographic hash.
    static quint64 recordHashOf(QByteArrayView record);
};

}  // namespace velmar
