#include "paint/core/palette.h"

namespace velmar::paint {

namespace {

constexpr int kColumnX[14] = {38, 54, 71, 87, 103, 119, 135, 151, 167, 183, 199, 215, 231, 247};
constexpr int kTopRowY = 6;
constexpr int kBottomRowY = 22;

// Top row, bottom row per column.
constexpr ColourValue kColours[14][2] = {
    {0x000000, 0xFFFFFF}, {0x808080, 0xC0C0C0}, {0x000080, 0x0000FF}, {0x008080, 0x00FFFF}, {0x008000, 0x00FF00},
    {0x808000, 0xFFFF00}, {0x800000, 0xFF0000}, {0x800080, 0xFF00FF}, {0x408080, 0x80FFFF}, {0x404000, 0x40FF00},
    {0xFF8000, 0xFFFF80}, {0x804000, 0xFF8080}, {0xFF0080, 0x8000FF}, {0x004080, 0x4080FF},
};

constexpr const char* kNames[kPaletteSize] = {
    "Panel12", "Panel13", "Panel14", "Panel15", "Panel16", "Panel17", "Panel18", "Panel19", "Panel20", "Panel21",
    "Panel22", "Panel23", "Panel24", "Panel25", "Panel26", "Panel27", "Panel28", "Panel29", "Panel30", "Panel31",
    "Panel32", "Panel33", "Panel34", "Panel35", "Panel36", "Panel37", "Panel38", "Panel39",
};

std::array<PaletteCell, kPaletteSize> buildPalette()
{
    std::array<PaletteCell, kPaletteSize> cells{};
    for (int column = 0; column < 14; ++column) {
        for (int row = 0; row < 2; ++row) {
            const int i = column * 2 + row;
            cells[std::size_t(i)] = {kNames[i], kColours[column][row],
                                     QPoint(kColumnX[column], row == 0 ? kTopRowY : kBottomRowY)};
        }
    }
    return cells;
}

}  // namespace

const std::array<PaletteCell, kPaletteSize>& defaultPalette()
{
    static const std::array<PaletteCell, kPaletteSize> palette = buildPalette();
    return palette;
}

QRgb pixelFromColourValue(ColourValue value)
{
    return qRgb(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

ColourValue colourValueFromPixel(QRgb pixel)
{
    return ColourValue(qRed(pixel)) | (ColourValue(qGreen(pixel)) << 8) | (ColourValue(qBlue(pixel)) << 16);
}

}  // namespace velmar::paint
