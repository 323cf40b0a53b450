#pragma once

#include "model/colour.h"

#include <QPoint>

#include <array>

namespace velmar::paint {

// The 28 colours of the editor's palette strip: 14 columns by 2 rows.
inline constexpr int kPaletteSize = 28;

struct PaletteCell {
    const char* objectName;  // "Panel12" … "Panel39"
    ColourValue colour;      // 0x00BBGGRR
    QPoint position;         // top-left of the 16 × 16 cell in the colour strip
};

// The palette as it starts (cells in the order Panel12, Panel13, … : top row then bottom row of
// each column).
const std::array<PaletteCell, kPaletteSize>& defaultPalette();

// The colour squares: the front square (Panel11, initially black) and the back square (Panel10,
// initially white), as 0x00BBGGRR values.
inline constexpr ColourValue kInitialFrontColour = 0x000000;
inline constexpr ColourValue kInitialBackColour = 0xFFFFFF;

// Converts between palette colour values (0x00BBGGRR) and picture pixels (0xFFRRGGBB).
QRgb pixelFromColourValue(ColourValue value);
ColourValue colourValueFromPixel(QRgb pixel);

}  // namespace velmar::paint
