#pragma once

#include "model/colour.h"
#include "model/outline.h"

#include <QSize>
#include <QString>

#include <algorithm>
#include <memory>

namespace velmar {

class PictureBudget;

// An outline read from a file. Readers build it in a fresh Outline; the caller replaces the open
// outline with it only when ok, so a refused or damaged file never costs the user their work.
struct LoadResult {
    bool ok = false;
    // When !ok: why the file was refused (a Russian message naming the file). When ok: a warning
    // to show after loading (for example pictures that could not be read), or empty.
    QString message;
    // Information messages the file's format asks to show after loading (old formats).
    QStringList notices;
    Outline outline;
    QString outlineName;
    ColourValue canvasColour = kButtonFace;
    QSize windowSize;  // the main window's outer size stored in the file
    // The decoding budget the file's pictures left: its films' first pictures are charged to it
    // (see storage/film_still.h). Null for an outline without pictures.
    std::shared_ptr<PictureBudget> budget;
};

// Outer window size minus the canvas client size (window frame and menu bar), used to work out
// the canvas size that objects on the canvas are fitted into when no window exists.
inline QSize defaultWindowChrome() { return QSize(16, 59); }

// The canvas a window of outer size windowSize has when its frame and menu bar take windowChrome.
inline QSize canvasSizeIn(QSize windowSize, QSize windowChrome)
{
    return QSize(std::max(0, windowSize.width() - windowChrome.width()),
                 std::max(0, windowSize.height() - windowChrome.height()));
}

// Gives a loaded outline the canvas its stored window has in a window whose frame and menu bar
// take windowChrome.
inline void applyWindowChrome(LoadResult& loaded, QSize windowChrome)
{
    loaded.outline.setClientSize(canvasSizeIn(loaded.windowSize, windowChrome));
}

}  // namespace velmar
