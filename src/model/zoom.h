#pragma once

#include "model/window_layout.h"

#include <QSize>

namespace velmar {

class Outline;

// Records every object's geometry and the client size as the reference that the zoom scales from
// (for an outline keeping its own layout, recordOwnLayout instead):
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

// The one scale, for both axes, at which a layout made for the reference client size fits whole
// into a client area of the given size; 0 when either has no room below the tool bar.
double fittingScale(QSize referenceClientSize, QSize clientSize);

// Shows the outline's own layout (its reference layout) at `scale` for both axes, the rest of the
// canvas left empty, snapped to the grid; the outline keeps that layout as its own from now on
// (Outline::ownLayoutScale), and the reference layout is recorded through the scale.
void showOwnLayout(Outline& outline, double scale, int gridStep);

// While the outline keeps its own layout: maps what the canvas shows back into that layout. A
// value the user left as the scale showed it keeps the reference's own value, to the pixel; an
// edited one is divided by the scale (a 10-pixel move at 0.67 is a 15-pixel move). The reference
// client size stays. recordReferenceLayout does this for such an outline.
void recordOwnLayout(Outline& outline);

// The outline laid out as its own layout has it, for writing to a file: every object at its
// reference geometry, unscaled. An outline without an own layout is returned as it is.
Outline ownLayoutOf(const Outline& outline);

// Moves everything on the canvas (frames, the objects lying on it, arrows) down by one amount so
// that nothing reaches up under the tool bar: the topmost object then starts 3 pixels below it,
// as a new outline's frames do. False, changing nothing, when nothing reached up there.
bool moveBelowToolBar(Outline& outline);

// The window's outer size made even in both directions (745 becomes 744), used before scaling
// while snapping is on.
QSize evenWindowSize(QSize outer);

}  // namespace velmar
