#pragma once

#include <QColor>
#include <QtGlobal>

namespace velmar {

// A colour as the outline files store it: 0x00BBGGRR (red in the lowest byte), or
// 0xFF000000 plus the index of a system colour.
using ColourValue = quint32;

constexpr ColourValue kButtonFace = 0xFF00000F;
constexpr ColourValue kWindowText = 0xFF000008;
constexpr ColourValue kBlack = 0x00000000;

constexpr bool isSystemColour(ColourValue v) { return (v & 0xFF000000u) == 0xFF000000u; }

// Resolves a colour value to a real colour. System colours resolve to fixed values (the classic
// desktop defaults), so an outline looks and exports the same on every machine.
QColor toQColor(ColourValue value);

// The plain RGB colour value (0x00BBGGRR) of a real colour.
ColourValue fromQColor(const QColor& colour);

}  // namespace velmar
