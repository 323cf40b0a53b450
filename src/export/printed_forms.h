#pragma once

#include "model/document.h"
#include "model/print_form.h"

#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPagedPaintDevice;

namespace velmar {

class OutlineRenderer;

// The printed forms of an outline besides the outline itself, drawn on the pages of a printer or a
// PDF writer. Each sets the page orientation that suits it, draws every page and returns an empty
// string, or a Russian message when the device could not be painted on. The renderer (prepared
// for any scale) is left showing every object again.

// Handouts: the show's steps, `stepsPerPage` (1, 2, 4 or 6) on a page, each drawn as the show
// shows it with its minimal text below; the outline's name at the top of every page and the page
// number at its foot.
QString printHandouts(QPagedPaintDevice& device, OutlineRenderer& renderer, int stepsPerPage);

// The exercise sheet: frames, titles, arrows and pictures drawn; every text field and caption an
// empty ruled box of its size, numbered by its step; then, for every step with a minimal text, an
// empty ruled box as large as that text needs, under the step's number.
QString printExerciseSheet(QPagedPaintDevice& device, OutlineRenderer& renderer);

// The poster: the outline enlarged over columns × rows sheets, drawn at the poster's scale (text
// and lines as vectors). Every sheet has a margin with cut marks at the corners of its part and
// marks where the next sheet's edge is laid: neighbouring parts overlap by kPosterOverlapMm.
QString printPoster(QPagedPaintDevice& device, const OutlineRenderer& renderer, int columns, int rows);

// One of the three above, by the form's kind (the outline itself is printOutline's).
QString printForm(QPagedPaintDevice& device, OutlineRenderer& renderer, const PrintForm& form);

// The margin of every poster sheet (cut marks and notes go there) and the strip that
// neighbouring sheets share, in millimetres.
inline constexpr double kPosterMarginMm = 10.0;
inline constexpr double kPosterOverlapMm = 10.0;

// Where the outline lies on a poster of columns × rows sheets, each with a printable `sheet`
// (device units) less `margin` on every side, neighbours sharing `overlap`.
struct PosterLayout {
    QSizeF partSize;  // the part of the poster each sheet shows (the sheet less its margins)
    double overlap = 0;
    double scale = 0;  // poster units per outline pixel
    QRectF outline;    // the outline on the whole poster
    int columns = 1, rows = 1;
    // The part of the poster sheet (column, row) shows, in poster coordinates.
    QRectF part(int column, int row) const
    {
        return QRectF(column * (partSize.width() - overlap), row * (partSize.height() - overlap), partSize.width(),
                      partSize.height());
    }
};
PosterLayout posterLayout(QSizeF sheet, QSize area, int columns, int rows, double margin, double overlap);

// Writes the form (any kind but the outline itself) of the outline laid out on a canvas of the
// given client size, as --export draws it, as a PDF on A4 sheets. Returns an empty string on
// success, otherwise a Russian message naming the file (nothing is written then).
QString exportFormPdf(const Document& document, QSize clientSize, const PrintForm& form, const QString& path);

}  // namespace velmar
