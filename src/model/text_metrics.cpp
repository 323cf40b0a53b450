#include "model/text_metrics.h"

#include <QFontMetrics>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <cmath>

namespace velmar {

namespace {

// Families that the outlines name but that Linux systems rarely have, with installed families of
// similar shape and width to use instead.
struct Fallback {
    QStringList names;
    QFont::StyleHint hint;
    QStringList substitutes;
};

const std::vector<Fallback>& fallbacks()
{
    static const std::vector<Fallback> table = {
        {{"ms sans serif", "microsoft sans serif", "arial", "tahoma", "verdana", "helvetica"},
         QFont::SansSerif,
         {"Liberation Sans", "Arimo", "Nimbus Sans", "FreeSans", "DejaVu Sans"}},
        {{"ms serif", "times new roman", "times"},
         QFont::Serif,
         {"Liberation Serif", "Tinos", "Nimbus Roman", "FreeSerif", "DejaVu Serif"}},
        {{"courier new", "courier", "lucida console", "fixedsys"},
         QFont::TypeWriter,
         {"Liberation Mono", "Cousine", "Nimbus Mono PS", "FreeMono", "DejaVu Sans Mono"}},
    };
    return table;
}

// A stored family name as a font family: characters no installed family has (control
// characters, quotes, markup) are left out, so the name can go into any document or style sheet
// that names the font (an SVG export, a style attribute) without ending it early.
QString familyName(const QString& stored)
{
    QString name;
    name.reserve(stored.size());
    for (const QChar c : stored)
        if (c.category() != QChar::Other_Control && c.category() != QChar::Other_Format
            && !QStringLiteral("\"'<>&\\;{}").contains(c))
            name += c;
    return name;
}

// Fills the family, style and pitch; the caller sets the size.
QFont baseFont(const FontSpec& stored)
{
    QFont font;
    QStringList families{familyName(stored.name)};
    const QString key = stored.name.trimmed().toLower();
    for (const Fallback& f : fallbacks()) {
        if (f.names.contains(key)) {
            families += f.substitutes;
            font.setStyleHint(f.hint);
            break;
        }
    }
    font.setFamilies(families);
    font.setBold(stored.style & FontBold);
    font.setItalic(stored.style & FontItalic);
    font.setUnderline(stored.style & FontUnderline);
    font.setStrikeOut(stored.style & FontStrikeOut);
    // Pitch 0 leaves the choice to the family; 1 and 2 ask for variable or fixed pitch, which
    // the font then remembers as explicitly set.
    if (stored.pitch == 1)
        font.setFixedPitch(false);
    else if (stored.pitch == 2)
        font.setFixedPitch(true);
    return font;
}

}  // namespace

QString genericFamilyOf(const QString& family)
{
    const QString key = family.trimmed().toLower();
    for (const Fallback& f : fallbacks()) {
        if (!f.names.contains(key) && !f.substitutes.contains(family.trimmed(), Qt::CaseInsensitive))
            continue;
        if (f.hint == QFont::Serif)
            return QStringLiteral("serif");
        if (f.hint == QFont::TypeWriter)
            return QStringLiteral("monospace");
        break;
    }
    return QStringLiteral("sans-serif");
}

int pointsToPixels(double points)
{
    const double pixels = points * kLayoutDpi / 72.0;
    if (!(pixels >= 1.0))  // also catches NaN
        return 1;
    if (pixels > 4096.0)
        return 4096;
    return std::max(1, int(std::lrint(pixels)));
}

QFont toQFont(const FontSpec& stored)
{
    QFont font = baseFont(stored);
    font.setPixelSize(pointsToPixels(stored.size));
    return font;
}

QFont toDialogFont(const FontSpec& stored)
{
    QFont font = baseFont(stored);
    font.setPointSize(std::clamp(stored.size, 1, 3072));
    return font;
}

FontSpec fromQFont(const QFont& font, ColourValue colour)
{
    FontSpec result;
    const QStringList families = font.families();
    result.name = families.isEmpty() ? font.family() : families.first();
    if (font.pointSizeF() > 0)
        result.size = int(std::lrint(font.pointSizeF()));
    else if (font.pixelSize() > 0)
        result.size = int(std::lrint(font.pixelSize() * 72.0 / kLayoutDpi));
    result.size = std::max(result.size, 1);
    result.colour = colour;
    result.style = quint8((font.bold() ? FontBold : 0) | (font.italic() ? FontItalic : 0)
                          | (font.underline() ? FontUnderline : 0) | (font.strikeOut() ? FontStrikeOut : 0));
    if (font.resolveMask() & QFont::FixedPitchResolved)
        result.pitch = font.fixedPitch() ? 2 : 1;
    else
        result.pitch = 0;
    return result;
}

TextExtent measureText(const QString& text, const QFont& font)
{
    const QFontMetrics metrics(font);
    TextExtent extent;
    // Every line of a text field is as high as the font: ascent plus descent.
    extent.lineHeight = metrics.height();
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r')) {
            ++extent.lineBreaks;
            extent.widestLine =
                std::max(extent.widestLine, metrics.horizontalAdvance(text.mid(lineStart, i - lineStart)));
            lineStart = i + 1;  // the LF that follows starts the next line
        }
    }
    extent.widestLine = std::max(extent.widestLine, metrics.horizontalAdvance(text.mid(lineStart)));
    return extent;
}

namespace {

// Texts measured lately, by text and font: the zoom fits every text field to its text on each
// resize, and most of them keep their text and font size from one resize to the next. Per thread,
// as drawings are also made off the GUI thread.
struct MeasuredKey {
    QString text;
    QString family;
    int size;
    int pitchAndStyle;
    bool operator==(const MeasuredKey&) const = default;
};

size_t qHash(const MeasuredKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.text, key.family, key.size, key.pitchAndStyle);
}

TextExtent measureTextOnce(const QString& text, const FontSpec& font)
{
    constexpr qsizetype kKept = 4096;
    thread_local QHash<MeasuredKey, TextExtent> measured;
    MeasuredKey key{text, font.name, font.size, font.pitch << 8 | font.style};
    const auto found = measured.constFind(key);
    if (found != measured.cend())
        return *found;
    const TextExtent extent = measureText(text, toQFont(font));
    if (measured.size() >= kKept)
        measured.clear();
    measured.insert(std::move(key), extent);
    return extent;
}

std::optional<QSize> fittedSize(const QString& text, const FontSpec& font, int extraWidth)
{
    if (text.isEmpty())
        return std::nullopt;
    const TextExtent extent = measureTextOnce(text, font);
    const qint64 width = qint64(extraWidth) + extent.widestLine;
    const qint64 height = qint64(extent.lineBreaks + 1) * extent.lineHeight + 1;
    return QSize(int(std::min<qint64>(width, INT_MAX)), int(std::min<qint64>(height, INT_MAX)));
}

}  // namespace

std::optional<QSize> autoSizeTextField(const QString& text, const FontSpec& font)
{
    return fittedSize(text, font, font.size);
}

std::optional<QSize> fitFrameToText(const QString& text, const FontSpec& font) { return fittedSize(text, font, 2); }

}  // namespace velmar
