#pragma once

#include "model/object_kinds.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmar {

// The line separator of the outline summary: a single CR.
inline constexpr QChar kSummaryBreak = QChar(13);

// The outline summary: the minimal texts of the outline in the order the show reveals them. For
// every frame: a CR, the frame's minimal text, two CRs; then, for every picture, text field or
// video fragment lying on that frame, its minimal text followed by a CR. The objects lying on the
// canvas follow in a last section whose frame text is empty.
QString buildSummary(const Outline& outline);

// The summary's structure: one section per frame in the show's reading order, with the frame's
// minimal text and the minimal texts of the objects lying on it; then one section without a frame
// (empty text and title) for the objects lying on the canvas, if there are any.
struct SummarySection {
    QString frameText;
    QStringList objectTexts;
    QString frameTitle;  // the frame's name, for headings whose minimal text is empty
};
std::vector<SummarySection> summarySections(const Outline& outline);

}  // namespace velmar
