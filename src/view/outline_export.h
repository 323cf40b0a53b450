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

// The filters of the export dialog, in the order exportFileName numbers them.
QString exportFilter();

// The export file name: the chosen name with its extension replaced by ".jpg" (filter 1),
// ".bmp" (2), ".pdf" (3), ".svg" (4) or ".png" (5). The type follows the filter, never the typed
// extension.
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
