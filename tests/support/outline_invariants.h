#pragma once

#include "model/document.h"

#include <QSize>
#include <QStringList>

namespace velmar {
class MainWindow;
}

// Consistency checks of a live outline and of its round trip through an outline file, for tests
// that drive the real window. Each returns the violations found, in words; empty when all hold.

// The model on its own: counts within capacity, unique identities, sequences that hold every
// frame and object once and nothing else, valid parent frame numbers, well-formed arrows, bounds
// the outline file can hold, and a history pointer inside its range.
QStringList modelViolations(const velmar::Document& doc);

// The model against the window: every object has exactly one widget, under the right parent, at
// the model's bounds, showing the model's text; no widget is left over for a removed object;
// visible handles stand for an existing selection; the undo and redo commands match the history.
QStringList windowViolations(velmar::MainWindow& window);

// What an outline file keeps of an outline, compared field by field between the outline that was
// saved and the one read back: document values, frames, text fields, video fragments, pictures
// (by content: same size and nearly the same pixels, JPEG being lossy) and arrows, with their
// parent frames and sequence positions. Captions are not stored and must come back absent.
struct StoredOutline {
    const velmar::Outline* outline = nullptr;
    QString name;
    velmar::ColourValue canvasColour = 0;
    QSize windowSize;
};
// With refitAllowed, a picture, text field or video fragment may come back fitted into its parent
// by the creation rule instead of at its stored bounds (a known fault of loading, tolerated while
// its fix is pending).
QStringList storedDifferences(const StoredOutline& saved, const StoredOutline& loaded, bool refitAllowed = false);

// Saves the document into path, reads the file back and compares (storedDifferences).
QStringList roundTripDifferences(const velmar::Document& doc, const QString& path, QSize windowChrome,
                                 bool refitAllowed = false);
