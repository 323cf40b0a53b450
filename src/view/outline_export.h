#pragma once

#include "model/document.h"

#include <QImage>
#include <QString>

namespace velmar {

class CanvasWidget;

// The picture of the outline as it stands on the canvas below the tool bar, 1:1: client width ×
// (client height − tool bar height). Everything visible on the canvas is in it (overlays too);
// the caller hides the selection handles first.
QImage captureCanvas(CanvasWidget* canvas);

// The same picture made without a window: the outline laid out on a canvas of the given client
// size and rendered off screen, exactly as the window shows it.
QImage renderOutline(const Document& document, QSize clientSize);

// The export file name: the chosen name with its extension replaced by ".jpg" (filter 1) or
// ".bmp" (filter 2). The type follows the filter, never the typed extension.
QString exportFileName(const QString& chosen, int filterIndex);

// Writes the picture atomically as JPEG (quality 100), BMP or PNG, chosen by the file name's
// extension. Returns an empty string on success, otherwise a Russian message naming the file.
QString writePicture(const QImage& image, const QString& path);

}  // namespace velmar
