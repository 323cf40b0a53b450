#include "model/summary_formats.h"

#include "model/summary.h"

#include <QRegularExpression>
#include <QStringList>

namespace velmar {

namespace {

// Minimal texts keep the CR LF breaks of the text fields; single CRs or LFs are taken as breaks too.
QStringList textLines(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return text.split(breaks);
}

// One line of text for Markdown: inline markup characters escaped everywhere, and what would
// start a block (a heading, list, quote, rule or numbered item) escaped at the line's start.
QString markdownLine(const QString& line)
{
    QString out;
    out.reserve(line.size() + 8);
    for (const QChar c : line) {
        // '#' too: at a heading's end it would be taken for the closing sequence and dropped.
        if (QStringLiteral("\\`*_[]<>|~&#").contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    // Leading spaces would make an indented code block.
    int start = 0;
    while (start < out.size() && out[start] == QLatin1Char(' '))
        ++start;
    out.remove(0, start);
    if (!out.isEmpty() && QStringLiteral("#+-=").contains(out[0])) {
        out.prepend(QLatin1Char('\\'));
    } else {
        int digits = 0;
        while (digits < out.size() && out[digits].isDigit())
            ++digits;
        if (digits > 0 && digits < out.size() && (out[digits] == QLatin1Char('.') || out[digits] == QLatin1Char(')')))
            out.insert(digits, QLatin1Char('\\'));
    }
    return out;
}

// A frame's heading: its minimal text, or its name when the minimal text is empty; a frame
// with neither gets no heading rather than an empty one.
const QString& headingText(const SummarySection& section)
{
    return section.frameText.trimmed().isEmpty() ? section.frameTitle : section.frameText;
}

}  // namespace

QString summaryPlainText(const Outline& outline)
{
    // Laid out as the summary itself, each text's lines taken one by one: replacing the summary's
    // CRs afterwards would turn every CR LF of a text into two breaks.
    const auto lines = [](const QString& text) { return textLines(text).join(QLatin1Char('\n')); };
    QString text;
    for (const SummarySection& section : summarySections(outline)) {
        text += QLatin1Char('\n') + lines(section.frameText) + QStringLiteral("\n\n");
        for (const QString& object : section.objectTexts)
            text += lines(object) + QLatin1Char('\n');
    }
    return text;
}

QString summaryMarkdown(const Outline& outline)
{
    QString md;
    for (const SummarySection& section : summarySections(outline)) {
        // A heading is one line: the frame text's lines joined by spaces.
        QStringList heading;
        for (const QString& line : textLines(headingText(section)))
            if (!line.trimmed().isEmpty())
                heading << markdownLine(line.trimmed());
        if (!heading.isEmpty())
            md += QStringLiteral("# ") + heading.join(QLatin1Char(' ')) + QStringLiteral("\n\n");
        for (const QString& text : section.objectTexts) {
            // Lines of one text stay lines (hard breaks); an empty line starts a new paragraph.
            QStringList paragraph;
            const auto flush = [&] {
                if (!paragraph.isEmpty())
                    md += paragraph.join(QStringLiteral("\\\n")) + QStringLiteral("\n\n");
                paragraph.clear();
            };
            for (const QString& line : textLines(text)) {
                if (line.trimmed().isEmpty())
                    flush();
                else
                    paragraph << markdownLine(line);
            }
            flush();
        }
    }
    return md;
}

QString summaryHtml(const Outline& outline, const QString& title)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>")
                   + title.toHtmlEscaped() + QStringLiteral("</title>\n</head>\n<body>\n");
    const auto escaped = [](const QString& text) {
        QStringList lines = textLines(text);
        for (QString& line : lines)
            line = line.toHtmlEscaped();
        return lines.join(QStringLiteral("<br>"));
    };
    for (const SummarySection& section : summarySections(outline)) {
        if (!headingText(section).trimmed().isEmpty())
            html += QStringLiteral("<h1>") + escaped(headingText(section)) + QStringLiteral("</h1>\n");
        for (const QString& text : section.objectTexts)
            if (!text.trimmed().isEmpty())
                html += QStringLiteral("<p>") + escaped(text) + QStringLiteral("</p>\n");
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html;
}

}  // namespace velmar
