#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace velmar {

// One file of a zip archive, in the order the archive lists it.
struct ZipEntry {
    QString name;
    QByteArray data;
    bool compressed = true;  // false: stored as it is (mimetype files, JPEG streams)
};

// The archive of the entries, made in memory. Returns an empty array and sets *error when the zip
// library fails.
QByteArray zipArchive(const std::vector<ZipEntry>& entries, QString* error);

}  // namespace velmar
