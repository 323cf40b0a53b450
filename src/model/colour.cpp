#include "model/colour.h"

#include <array>

namespace velmar {

namespace {

// Default values of the 31 classic system colours, indexed by system colour index.
constexpr std::array<QRgb, 31> kSystemColours = {
    0xFFC8C8C8,  //  0 scroll bar
    0xFF3A6EA5,  //  1 desktop
    0xFF99B4D1,  //  2 active caption
    0xFFBFCDDB,  //  3 inactive caption
    0xFFF0F0F0,  //  4 menu
    0xFFFFFFFF,  //  5 window
    0xFF646464,  //  6 window frame
    0xFF000000,  //  7 menu text
    0xFF000000,  //  8 window text
    0xFF000000,  //  9 caption text
    0xFFB4B4B4,  // 10 active border
    0xFFF4F7FC,  // 11 inactive border
    0xFFABABAB,  // 12 application workspace
    0xFF0078D7,  // 13 highlight
    0xFFFFFFFF,  // 14 highlight text
    0xFFF0F0F0,  // 15 button face
    0xFFA0A0A0,  // 16 button shadow
    0xFF6D6D6D,  // 17 grey text
    0xFF000000,  // 18 button text
    0xFF000000,  // 19 inactive caption text
    0xFFFFFFFF,  // 20 button highlight
    0xFF696969,  // 21 3D dark shadow
    0xFFE3E3E3,  // 22 3D light
    0xFF000000,  // 23 info text
    0xFFFFFFE1,  // 24 info background
    0xFFB5B5B5,  // 25 (unused)
    0xFF0066CC,  // 26 hot light
    0xFFB9D1EA,  // 27 gradient active caption
    0xFFD7E4F2,  // 28 gradient inactive caption
    0xFF3399FF,  // 29 menu highlight
    0xFFF0F0F0,  // 30 menu bar
};

}  // namespace

QColor toQColor(ColourValue value)
{
    if (isSystemColour(value)) {
        const quint32 index = value & 0xFFu;
        if (index < kSystemColours.size())
            return QColor::fromRgb(kSystemColours[index]);
        return QColor::fromRgb(kSystemColours[15]);
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

ColourValue fromQColor(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return ColourValue(rgb.red()) | (ColourValue(rgb.green()) << 8) | (ColourValue(rgb.blue()) << 16);
}

}  // namespace velmar
