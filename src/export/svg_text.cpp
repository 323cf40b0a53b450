#include "export/svg_text.h"

#include "model/text_metrics.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace velmar {

namespace {

QString withoutForbidden(const QString& text)
{
    // A drawing holds its photos inline: megabytes, walked once, copied only when needed.
    const qsizetype n = text.size();
    QString kept;
    bool dropped = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate();
        const bool keep = pair || keptInXml(c.unicode());
        if (!keep && !dropped) {
            dropped = true;
            kept.reserve(n);
            kept.append(text.constData(), i);
        }
        if (dropped && keep) {
            kept += c;
            if (pair)
                kept += text.at(i + 1);
        }
        if (pair)
            ++i;
    }
    return dropped ? kept : text;
}

// A family name inside a quoted CSS string inside an XML attribute.
QString cssFamily(const QString& family)
{
    QString name = family;
    name.remove(QLatin1Char('\'')).remove(QLatin1Char('\\'));
    return QLatin1Char('\'') + xmlText(name) + QLatin1Char('\'');
}

// font-family="NAME" as the generator writes it (the names were cleaned of quotes when the fonts
// were made) becomes the name followed by the generic family of its shape.
QString withFallbackFamilies(const QString& svg)
{
    static const QRegularExpression attribute(QStringLiteral("font-family=\"([^\"]*)\""));
    QString out;
    out.reserve(svg.size() + svg.size() / 16);
    qsizetype at = 0;
    for (auto it = attribute.globalMatch(svg); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(svg).mid(at, m.capturedStart() - at);
        const QString family = m.captured(1);
        out += QStringLiteral("font-family=\"") + cssFamily(family) + QStringLiteral(", ") + genericFamilyOf(family)
               + QLatin1Char('"');
        at = m.capturedEnd();
    }
    out += QStringView(svg).mid(at);
    return out;
}

// The generator writes a text element per run of glyphs: a line whose characters come from two
// fonts arrives in pieces, each placed where this machine's fonts put it, and overlapping where a
// reader's fonts are wider. Pieces that follow each other directly, on the same baseline and with
// the same attributes, are one line: they become one element at the first piece's place.
QString withWholeLines(const QString& svg)
{
    static const QRegularExpression piece(
        QStringLiteral("<text ([^>]*?)x=\"([^\"]*)\" y=\"([^\"]*)\"([^>]*)>([^<]*)</text>"));
    QString out;
    out.reserve(svg.size());
    qsizetype at = 0;
    QRegularExpressionMatch open;  // the line being gathered
    QString gathered;
    const auto flush = [&] {
        if (!open.hasMatch())
            return;
        out += QStringLiteral("<text ") + open.captured(1) + QStringLiteral("x=\"") + open.captured(2)
               + QStringLiteral("\" y=\"") + open.captured(3) + QLatin1Char('"') + open.captured(4) + QLatin1Char('>')
               + gathered + QStringLiteral("</text>");
        open = QRegularExpressionMatch();
        gathered.clear();
    };
    for (auto it = piece.globalMatch(svg); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QStringView between = QStringView(svg).mid(at, m.capturedStart() - at);
        const bool continues = open.hasMatch() && between.trimmed().isEmpty() && m.captured(1) == open.captured(1)
                               && m.captured(3) == open.captured(3) && m.captured(4) == open.captured(4);
        if (continues) {
            gathered += m.captured(5);
        } else {
            flush();
            out += between;
            open = m;
            gathered = m.captured(5);
        }
        at = m.capturedEnd();
    }
    flush();
    out += QStringView(svg).mid(at);
    return out;
}

// The document's title: the generator is given none, and its empty element is filled here.
QString withTitle(const QString& svg, const QString& title)
{
    const QString element = QStringLiteral("<title>") + xmlText(title) + QStringLiteral("</title>");
    QString out = svg;
    const qsizetype empty = out.indexOf(QStringLiteral("<title></title>"));
    if (empty >= 0)
        return out.replace(empty, 15, element);
    // No title element written: one goes first inside the root element.
    const qsizetype root = out.indexOf(QStringLiteral("<svg"));
    const qsizetype rootEnd = root >= 0 ? out.indexOf(QLatin1Char('>'), root) : -1;
    if (rootEnd >= 0)
        out.insert(rootEnd + 1, QLatin1Char('\n') + element);
    return out;
}

// The drawing's size in pixels, as its view box says. The generator gives it in millimetres,
// which a viewer turns back into pixels with a rounding error: 1184 pixels became 1185.
QString withPixelSize(const QString& svg)
{
    const qsizetype root = svg.indexOf(QStringLiteral("<svg"));
    const qsizetype rootEnd = root >= 0 ? svg.indexOf(QLatin1Char('>'), root) : -1;
    if (rootEnd < 0)
        return svg;
    QString element = svg.mid(root, rootEnd - root);
    static const QRegularExpression viewBox(QStringLiteral("viewBox=\"\\s*0\\s+0\\s+(\\d+)\\s+(\\d+)\\s*\""));
    const QRegularExpressionMatch box = viewBox.match(element);
    if (!box.hasMatch())
        return svg;
    static const QRegularExpression width(QStringLiteral("\\bwidth=\"[^\"]*\""));
    static const QRegularExpression height(QStringLiteral("\\bheight=\"[^\"]*\""));
    element.replace(width, QStringLiteral("width=\"%1\"").arg(box.captured(1)));
    element.replace(height, QStringLiteral("height=\"%1\"").arg(box.captured(2)));
    QString out = svg;
    return out.replace(root, rootEnd - root, element);
}

}  // namespace

bool keptInXml(char32_t c)
{
    if (c == U'\t' || c == U'\n' || c == U'\r')
        return true;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return false;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    return c != 0xFFFE && c != 0xFFFF;
}

QString xmlText(const QString& text) { return withoutForbidden(text).toHtmlEscaped(); }

QByteArray finishSvg(const QByteArray& generated, const QString& title)
{
    if (generated.isEmpty())
        return {};
    QString svg = withoutForbidden(QString::fromUtf8(generated));
    svg = withTitle(svg, title);
    svg = withPixelSize(svg);
    svg = withFallbackFamilies(svg);
    svg = withWholeLines(svg);
    const QByteArray bytes = svg.toUtf8();
    return isWellFormedXml(bytes) ? bytes : QByteArray();
}

bool isWellFormedXml(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    bool root = false;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            root = true;
    }
    return root && !reader.hasError();
}

}  // namespace velmar
