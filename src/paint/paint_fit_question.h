#pragma once

class QWidget;

namespace velmar::paint {

class PaintEditor;

// A picture that has just arrived as a floating piece (pasted, read from a file, dropped) and is
// wider or higher than the picture being edited: asks whether to shrink it to fit, keeping its
// aspect, or to keep its size. Nothing is asked for a piece that fits.
void offerToFitPiece(QWidget* parent, PaintEditor& editor);

}  // namespace velmar::paint
