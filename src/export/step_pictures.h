#pragma once

#include "model/document.h"
#include "model/reveal_order.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

namespace velmar {

class OutlineRenderer;

// The steps a show's pictures are made of: every step after the empty start, or the start alone
// when nothing follows it.
std::vector<int> pictureSteps(const RevealOrder& order);

// Leaves shown on the renderer exactly the objects the show shows at a step: those of that step
// and every earlier one. A step past the last shows everything.
void showStep(OutlineRenderer& renderer, const RevealOrder& order, int step);

// The name of the picture of the index-th step (1-based) of `count`: base-01.png, base-02.png…,
// numbered with as many digits as the last needs (at least two), so they sort in order.
QString stepPictureName(const QString& base, int index, int count);

// Writes one PNG per picture step into `folder` (made when missing), each the outline laid out on
// a canvas of the given client size and drawn at `scale` as --export draws it, with what the show
// shows at that step. `base` starts the names. Returns an empty string on success, otherwise a
// Russian message naming the file that could not be written; *written receives the number of
// pictures written.
QString exportStepPictures(const Document& document, QSize clientSize, double scale, const QString& folder,
                           const QString& base, int* written = nullptr);

}  // namespace velmar
