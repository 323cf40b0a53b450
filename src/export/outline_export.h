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

// The filters of the export dialog, named in the interface language, in the order
// exportFileName numbers them: JPEG (1), BMP (2), PDF (3), SVG (4), PNG (5).
QString exportFilter();
// The extension (without the dot) that filter filterIndex writes; JPEG's for an unknown index.
QString exportExtension(int filterIndex);
// The filter whose type a file name's extension asks for (".jpeg" is JPEG's), or 0 for none.
int exportFilterIndexOf(const QString& path);

// The file an export writes for the name chosen with a filter: a name whose extension is one
// of the export types is written as it is, in that type (the typed extension wins over the
// filter); any other name gets the filter's extension added.
QString exportFileName(const QString& chosen, int filterIndex);

// The kinds of file an outline is exported to, by the file name's extension.
enum class ExportFormat { Unknown, Jpeg, Bmp, Png, Pdf, Svg };
ExportFormat exportFormatOf(const QString& path);
inline bool isVectorFormat(ExportFormat format) { return format == ExportFormat::Pdf || format == ExportFormat::Svg; }

class OutlineRenderer;

// The outline as a PDF document or SVG picture of one page, scale × the drawn area (in pixels at
// 96 dpi): frames, texts and arrows as vectors, texts as text, pictures at their stored resolution.
QByteArray outlinePdf(const OutlineRenderer& renderer, double scale = 1.0);
QByteArray outlineSvg(const OutlineRenderer& renderer, double scale = 1.0);
// The PDF of the outline laid out on a canvas of the given client size, its photos embedded as
// their stored JPEG streams, byte for byte (see PdfPhotos); pictures without one are encoded.
QByteArray outlinePdf(const Document& document, QSize clientSize, double scale = 1.0);

// Writes the outline laid out on a canvas of the given client size, drawn at `scale`, as the
// file's extension asks (PDF, SVG, PNG, JPEG or BMP), atomically. Pictures at scale 1 are the
// screen's pixels; other scales draw from the stored bitmaps. Returns an empty string on success,
// otherwise a Russian message naming the file (nothing is written then).
QString exportOutline(const Document& document, QSize clientSize, double scale, const QString& path);

// Writes bytes to path atomically. Returns an empty string or a Russian message naming the file.
QString writeExportFile(const QByteArray& bytes, const QString& path);

// Writes the picture atomically as JPEG (quality 100), BMP or PNG, chosen by the file name's
// extension. Returns an empty string on success, otherwise a Russian message naming the file.
QString writePicture(const QImage& image, const QString& path);

}  // namespace velmar
