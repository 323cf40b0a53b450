#pragma once

#include "paint/core/folder_listing.h"

#include <QImage>
#include <QString>

namespace velmar::paint {

// The editor's picture file dialogs: filters, and what each dialog remembers between uses (the
// last file name and filter chosen). The save dialog is shared by "Сохранить", "Сохранить как..."
// and "Копировать в файл...".
// The file dialogs' filters, in the interface's language: BMP first, then JPEG (the order the
// filter index of the dialogs' remembered state refers to).
QString openPictureFilter();
QString savePictureFilter();

struct PictureFileDialogState {
    QString fileName;     // the last file chosen, empty before the first
    int filterIndex = 1;  // 1-based
    // The folder the dialog opens in: that of the last file chosen, or `fallback`.
    QString folder(const QString& fallback) const;
};

// The decoder an open dialog's filter picks: the bitmap filter (1) reads the file by its
// extension, the JPEG filters (2 and 3) always decode JPEG.
PictureDecoder decoderForOpenFilter(int filterIndex, const QString& path);

// Reads a picture file whole: BMP (and other formats the image reader knows) by the file's
// contents, JPEG through libjpeg. A null image and a Russian *error when it cannot be read.
QImage readPictureFile(const QString& path, PictureDecoder decoder, QString* error = nullptr);

// Reads a picture file at a reduced size, still at least `atLeast` pixels on its shorter side
// where the picture is that big: JPEG streams are decoded with libjpeg's DCT scaling.
QImage readPictureReduced(const QString& path, PictureDecoder decoder, int atLeast, QString* error = nullptr);

// `path` with its extension replaced by `extension` (".bmp"), or with it added when the file
// name has none.
QString replaceExtension(const QString& path, const QString& extension);

// The file a save dialog's choice writes: the chosen name with the filter's extension, ".jpg"
// for the JPEG filter (2), ".bmp" otherwise.
QString savedPictureName(const QString& chosenPath, int filterIndex);

// Saves a picture as the save dialog's filter says: 1 a bitmap under the name with ".bmp", 2 a
// JPEG at quality 100 with ".jpg". The file is replaced only once completely written. Returns the
// path written, or an empty string and a Russian *error.
QString writePictureFile(const QImage& picture, const QString& chosenPath, int filterIndex, QString* error = nullptr);

}  // namespace velmar::paint
