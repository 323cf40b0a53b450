#pragma once

#include <QImage>
#include <QRect>

namespace velmar::paint {

class PaintDocument;

// Lifts the picture pixels under the overlay's frame into a floating piece at the frame's place
// and clears them to the back colour. Records no undo state: the put-down does.
void liftSelection(PaintDocument& doc);
// Lifts the picture pixels of `source` (picture pixels; what lies beyond the picture comes in the
// back colour) into a floating piece at `at` (picture-control pixels).
void liftPixels(PaintDocument& doc, const QRect& source, QPoint at);
// The pixels of `picture` the floating piece lies over (empty when none floats).
QRect pieceTarget(const QImage& picture, const PaintDocument& doc);
// Draws the floating piece into `picture` as it lies over the document's picture (in transparent
// placement its transparent colour is left out); returns the pixels written.
QRect composePiece(QImage& picture, const PaintDocument& doc);
// The picture as the screen shows it: with the floating piece composed in (the piece keeps
// floating). The picture itself when no piece floats.
QImage pictureAsShown(const PaintDocument& doc);
// Draws the floating piece into the picture, hides it with its frame and handles, and records an
// undo state unless the picture is then as the history has it (a piece never moved). Returns
// false when no piece was floating.
bool putDownPiece(PaintDocument& doc);
// Throws the floating piece away and hides its frame and handles.
void discardPiece(PaintDocument& doc);
// Gives the floating piece the placement chosen in the opaque/transparent list.
void applyPlacement(PaintDocument& doc);
// A frame with a negative extent turned into the same rectangle with positive width and height.
QRect normalisedFrame(const QRect& frame);

}  // namespace velmar::paint
