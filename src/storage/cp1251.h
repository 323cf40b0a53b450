#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace velmar {

// Windows-1251 (Cyrillic), the single-byte code page of the outline files. Used only where
// texts cross the file boundary.
QString decodeCp1251(QByteArrayView bytes);
// Appends the decoded bytes to `text`.
void appendCp1251(QString& text, QByteArrayView bytes);
// Characters the code page cannot hold become '?'.
QByteArray encodeCp1251(const QString& text);
// True when every character of the text has a byte in the code page (encoding loses nothing).
bool fitsCp1251(const QString& text);

}  // namespace velmar
