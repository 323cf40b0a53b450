#include "model/visible_text.h"

#include <algorithm>

namespace velmar {

namespace {

bool isLineBreakOrTab(char16_t c) { return c == u'\t' || c == u'\r' || c == u'\n'; }

bool isTerminalControl(char16_t c) { return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F); }

// The bidirectional embeddings, overrides and isolates: they reorder the text around them, so
// that what is shown (or printed on a terminal) reads differently from what is stored.
bool isBidiControl(char16_t c) { return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069); }

// Characters that change how the text around them is laid out rather than showing anything:
// the line and paragraph separators, the bidirectional controls, and the characters of no
// width (zero-width space and joiners, the direction marks, word joiner, byte order mark) that
// make two names look alike.
bool isLayoutControl(char16_t c)
{
    return c == 0x2028 || c == 0x2029 || isBidiControl(c) || (c >= 0x200B && c <= 0x200F)
           || (c >= 0x2060 && c <= 0x2064) || c == 0xFEFF || c == 0x061C;
}

}  // namespace

QString visibleText(const QString& text, LineBreaks breaks)
{
    const auto needsSign = [breaks](char16_t c) {
        if (breaks == LineBreaks::Keep && isLineBreakOrTab(c))
            return false;
        return isTerminalControl(c) || isLayoutControl(c);
    };
    if (std::none_of(text.cbegin(), text.cend(), [&](QChar c) { return needsSign(c.unicode()); }))
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!needsSign(c))
            shown += ch;
        else if (c < 0x20)
            shown += QChar(char16_t(0x2400 + c));
        else if (c == 0x7F)
            shown += QChar(char16_t(0x2421));
        else
            shown += QStringLiteral("\\u%1")
                         .arg(unsigned(c), 4, 16, QLatin1Char('0'))
                         .toUpper()
                         .replace(QLatin1String("\\U"), QLatin1String("\\u"));
    }
    return shown;
}

QString withoutControlCharacters(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar ch : text)
        if (isLineBreakOrTab(ch.unicode()) || !(isTerminalControl(ch.unicode()) || isBidiControl(ch.unicode())))
            kept += ch;
    return kept;
}

}  // namespace velmar
