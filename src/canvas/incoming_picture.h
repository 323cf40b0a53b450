#pragma once

#include <QImage>
#include <QString>

namespace velmar {

// A picture brought in whole (a file opened or dropped, the clipboard): above this it would not
// fit the pictures an outline can reopen.
inline constexpr qint64 kMaxIncomingPixels = 64'000'000;

// What came in: the picture as the outline keeps it (opaque, 32-bit), or a message saying why
// not. A picture whose transparent parts were laid on white says so in `note`.
struct IncomingPicture {
    QImage image;
    QString error;
    QString note;
};

// Reads a picture file of any type Velmar takes (JPEG, PNG, BMP, GIF, WebP where Qt reads it),
// by its content rather than its name; only a regular file, and no more pixels than an outline
// can hold. `shownName` names the file in the messages.
IncomingPicture readIncomingPicture(const QString& path, const QString& shownName);
// The same checks for a picture already decoded (a drop or the clipboard).
IncomingPicture takeIncomingPicture(QImage image, const QString& shownName = QString());

// The message for a picture of more pixels than an outline takes; `shownName` names its file, if
// it has one.
QString tooLargePictureMessage(QSize size, const QString& shownName = QString());

// The file types the picture dialogs offer, in the dialogs' "caption|patterns|…" form.
QString incomingPictureFilter();

}  // namespace velmar
