#pragma once

#include "model/outline.h"

#include <QString>

namespace velmar {

// The summary as the summary window shows it: its CR separators as line feeds, and every line
// break inside a text (CR LF as text fields keep them, or a lone CR or LF) as one line feed.
QString summaryPlainText(const Outline& outline);

// The summary as a Markdown document: every frame's minimal text a heading, the texts of its
// objects paragraphs below it, in reading order. Characters Markdown would read as markup are
// escaped, so every text comes out as written.
QString summaryMarkdown(const Outline& outline);

// The same structure as an HTML document (UTF-8), titled with the outline's name; texts escaped.
QString summaryHtml(const Outline& outline, const QString& title);

}  // namespace velmar
