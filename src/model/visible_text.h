#pragma once

#include <QString>

namespace velmar {

// Texts that come from a document (names, titles, minimal texts, file names) may hold control
// characters: a line feed in a file name would split a message into lines that look like the
// program's own, ESC or BEL would reach a terminal raw. These helpers make them harmless where
// such a text is shown.

enum class LineBreaks { Keep, Show };

// The text with every control character shown as a visible sign: C0 characters as their Unicode
// control pictures (ESC as ␛, NUL as ␀), DEL as ␡, C1 characters, the Unicode line and paragraph
// separators, the bidirectional overrides (which reorder what is shown) and the characters of no
// width (U+200B…U+200F, U+2060…U+2064, U+FEFF) as \uXXXX. With
// LineBreaks::Keep, tab, CR and LF stay as they are (multi-line texts); with Show they are shown
// too (one-line names and titles).
QString visibleText(const QString& text, LineBreaks breaks = LineBreaks::Show);

// The text without the control characters a terminal would act on: tab, CR and LF stay, the rest
// of C0, DEL and C1 go, and so do the bidirectional overrides and isolates, which would reorder
// the lines a terminal shows (plain-text output of the command line).
QString withoutControlCharacters(const QString& text);

}  // namespace velmar
