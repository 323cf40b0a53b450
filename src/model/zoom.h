#pragma once

#include <QSize>

namespace velmar {

class Outline;

// The outline's tool bar strip: frames and video fragments keep their reference top and height
// without it, and the reference client height leaves out this many pixels plus one.
inline constexpr int kZoomTopOffset = 31;
inline constexpr int kZoomClientHeightOffset = 32;

// Records every object's geometry and the client size as the reference that the zoom scales from:
// frames and video fragments store (left, top − 31, width, height − 31), captions, pictures and
// text fields their bounds (text fields also their font size), arrows their end points; the
// reference client size is (client width, client height − 32).
void recordReferenceLayout(Outline& outline, QSize clientSize);

// Scales the whole outline from its reference layout to a client area of the given size, then
// snaps it to the grid. Every value is rounded to the nearest integer, halves to even; text fields
// get a scaled font and are fitted to their text. Returns false, changing nothing, when there is
// nothing sound to scale from or to: a reference client area or a new client area with no width
// or no height below the tool bar.
bool rescaleOutline(Outline& outline, QSize clientSize, int gridStep);

// The window's outer size made even in both directions (745 becomes 744), used before scaling
// while snapping is on.
QSize evenWindowSize(QSize outer);

}  // namespace velmar
