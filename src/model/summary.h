#pragma once

#include "model/outline.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmar {

// The line separator of the outline summary: a single CR.
inline constexpr QChar kSummaryBreak = QChar(13);

// The outline summary: the minimal texts of the outline in reading order. For every entry of the
// frame sequence: a CR, the frame's minimal text, two CRs; then, for every entry of the object
// sequence that lies on that frame (a picture, text field or video fragment), its minimal text
// followed by a CR. Sequence entries that name no frame or object of the outline are skipped.
QString buildSummary(const Outline& outline);

// The summary's structure: one section per frame of the frame sequence, with the frame's minimal
// text and the minimal texts of the sequenced objects lying on it, both in reading order.
struct SummarySection {
    QString frameText;
    QStringList objectTexts;
    QString frameTitle;  // the frame's name, for headings whose minimal text is empty
};
std::vector<SummarySection> summarySections(const Outline& outline);

// The minimal text of a frame, picture, text field or video fragment; nullptr for other objects.
const QString* minimalTextOf(const Outline& outline, ObjectId id);

}  // namespace velmar
