#pragma once

#include "model/outline.h"

#include <QFont>
#include <QSize>
#include <QString>

#include <optional>

namespace velmar {

// Dots per inch of the screens the outlines were laid out on: point sizes become pixel sizes at
// this resolution, so an outline measures and looks the same on every screen.
inline constexpr int kLayoutDpi = 96;

// The pixel size of a point size at 96 dots per inch (at least 1).
int pointsToPixels(double points);

// The font of a text field or caption. The family keeps the stored name; families missing on
// this system (such as "MS Sans Serif") fall back to similar ones that are installed. The size
// is set in pixels.
QFont toQFont(const FontSpec& stored);
// The CSS generic family ("serif", "monospace" or "sans-serif") nearest to a family's shape, for
// documents read where the family itself is missing.
QString genericFamilyOf(const QString& family);
// The same font with its size in points, as a font dialog wants to show it.
QFont toDialogFont(const FontSpec& stored);
// A font chosen in a font dialog (or made by toQFont), with the colour the dialog does not carry.
FontSpec fromQFont(const QFont& font, ColourValue colour);

// What the line walk measures in a text: the height of one line in the font, the number of CRs
// (each ends a line) and the width of the widest line. Every character other than CR, the LF of
// a CR LF pair included, belongs to its line.
struct TextExtent {
    int lineHeight = 0;
    int lineBreaks = 0;
    int widestLine = 0;
};
TextExtent measureText(const QString& text, const QFont& font);

// Size of a text field fitted to its text after a key stroke and after the outline zoom:
// width = font size in points + widest line, height = (line breaks + 1) × line height + 1.
// Nothing for an empty text (the field keeps its size).
std::optional<QSize> autoSizeTextField(const QString& text, const FontSpec& font);

// Size of a text field after "Выровнять рамку": width = widest line + 2, height as above.
// Nothing for an empty text.
std::optional<QSize> fitFrameToText(const QString& text, const FontSpec& font);

}  // namespace velmar
